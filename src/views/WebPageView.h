#pragma once
/// `CQeltHtml`'s Qt-free half (资讯系统, view kind 5): the address of the operator's news
/// listing. The page is shown by the Qt window's browser, which covers the whole client; the
/// view asks for no standing requests.
#include <string>
#include <string_view>

#include "views/View.h"

namespace qelt {

/// The news listing page on the operator's site: "/web/TempleteList.aspx?id=73".
std::string NewsPageUrl(std::string_view siteAddress);

class WebPageView : public View {
  public:
    explicit WebPageView(std::string siteAddress) : m_url(NewsPageUrl(siteAddress)) {}
    const std::string& Url() const { return m_url; }
    /// The page is printed by the browser (the frame's print commands reach it).
    bool CanPrint() const override { return true; }
    /// Only the background shows, for the moment before the browser covers it.
    void Paint(Canvas& canvas, Size client, const DisplayScheme&) override {
        canvas.FillRect({0, 0, client.cx, client.cy}, Rgb(255, 255, 255));
    }

  private:
    std::string m_url;
};

}  // namespace qelt
