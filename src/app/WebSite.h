#pragma once
/// The operator's web site, opened by 访问网站 and the login dialog's link and shown by the
/// information view: the address in site.ini in the program directory when present, else the
/// web service of the current quote server (or of the first one in config.ini).
#include <string>

namespace qelt {

/// "http://address:port", or site.ini's first line as written there.
std::string WebSiteAddress(const std::string& programDirectory, const std::string& serverAddress,
                           int serverPort);

}  // namespace qelt
