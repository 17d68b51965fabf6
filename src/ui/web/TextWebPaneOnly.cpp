// A build without Qt WebEngine: the information view shows pages with the rich-text browser.
#include "WebPane.h"

namespace qelt {

WebPane* CreateWebPane(QWidget* parent) { return CreateTextWebPane(parent); }

bool WebEngineBuilt() { return false; }

}  // namespace qelt
