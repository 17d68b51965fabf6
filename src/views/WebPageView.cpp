#include "views/WebPageView.h"

namespace qelt {

std::string NewsPageUrl(std::string_view siteAddress) {
    std::string site(siteAddress);
    while (!site.empty() && site.back() == '/') site.pop_back();
    return site + "/web/TempleteList.aspx?id=73";
}

}  // namespace qelt
