// The updater: started by the client with "<address>|<port>", which it ignores.
#include "updater/ui/CUpdateApp.h"

int main(int argc, char** argv) { return qelt::CUpdateApp::Run(argc, argv); }
