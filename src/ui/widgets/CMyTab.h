#pragma once
/// `CMyTab`: the category tab strip window. A click on a tab selects it, repaints and posts
/// message 1125 (tab index, 0) to the parent window.
#include <QWidget>
#include <memory>

#include "views/controls/TabStripControl.h"

namespace qelt {

class QtBitmap;

class CMyTab : public QWidget {
    Q_OBJECT
  public:
    explicit CMyTab(QWidget* parent = nullptr);
    ~CMyTab() override;
    void SetTabs(const std::vector<std::string>& labels, const std::vector<std::string>& texts, int baseWidth,
                 double scale);
    void SetSelected(int index);
    const TabStripControl& Strip() const { return m_strip; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    TabStripControl m_strip;
    std::unique_ptr<QtBitmap> m_buffer;
};

}  // namespace qelt
