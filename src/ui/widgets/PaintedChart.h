#pragma once
/// A window that shows a drawing of a Qt-free painter (the equity curve, the heat map of
/// 交易评测), double buffered in device pixels like the views, and prints it and saves it
/// as a picture like them: on paper in the print colours through a PaperCanvas, as a
/// bitmap file in the screen's colours. A click and the keys it is given are told to its
/// owner, which decides what they do.
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "data/settings/DisplayScheme.h"
#include "gfx/Canvas.h"

class QPrinter;

namespace qelt {

class QtBitmap;

class PaintedChart : public QWidget {
    Q_OBJECT
  public:
    /// Paints the whole client of the given size in the given colours.
    using Painter = std::function<void(Canvas&, Size, const DisplayScheme&)>;

    PaintedChart(Painter painter, DisplayScheme screen, DisplayScheme paper, QWidget* parent = nullptr);
    ~PaintedChart() override;

    Size ClientSize() const { return {width(), height()}; }
    /// One page: the drawing at the window's size, scaled to the page, in the paper's colours.
    void PrintTo(QPrinter& printer);
    /// The drawing as the window shows it, as a Windows bitmap file; false when it could not
    /// be written.
    bool SaveBmp(const std::string& path);

  signals:
    void Clicked(QPoint at);
    /// A key the window did not use (the arrows, Enter): the owner's to handle.
    void KeyPressed(int key);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    Painter m_painter;
    DisplayScheme m_screen;
    DisplayScheme m_paper;
    std::unique_ptr<QtBitmap> m_buffer;
};

}  // namespace qelt
