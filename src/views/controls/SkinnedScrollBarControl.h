#pragma once
/// `CXScrollBar` without a window: a skinned scroll bar's geometry, its mouse and timer state
/// machine and its drawing. The window hosting it runs the timers, captures the mouse and
/// delivers the notifications, all through `ScrollBarHost`.
///
/// Geometry along the bar (client length L, thumb size t, which is also the arrow size):
/// arrows at both ends; track = L - 3t; thumb offset = t + round(position × track / length),
/// kept between the arrows; position = round((offset - t) × length / track) in 0..length.
/// A bar of length 0 keeps its position at 0 and its thumb next to the first arrow.
#include "gfx/Canvas.h"

namespace qelt {

class ScrollBarHost {
  public:
    virtual ~ScrollBarHost() = default;
    virtual void StartTimer(int id, int milliseconds) = 0;
    virtual void StopTimer(int id) = 0;
    virtual void SetCapture(bool on) = 0;
    /// WM_HSCROLL / WM_VSCROLL to the owner: line up (0), line down (1), thumb-track (5).
    virtual void Notify(int code, int position) = 0;
    virtual void Invalidate() = 0;
    /// Hand cursor over the thumb, arrow cursor elsewhere.
    virtual void SetHandCursor(bool hand) = 0;
};

/// Timer ids: 1 auto-repeat, 2 initial delay, 3 thumb hover, 4 arrow hover.
inline constexpr int kTimerRepeat = 1;
inline constexpr int kTimerDelay = 2;
inline constexpr int kTimerThumbHover = 3;
inline constexpr int kTimerArrowHover = 4;

class SkinnedScrollBarControl {
  public:
    enum class Part { None, FirstArrow, SecondArrow, Thumb, Channel };

    SkinnedScrollBarControl(ScrollBarHost& host, bool vertical) : m_host(host), m_vertical(vertical) {}

    /// Client size; the thumb (and arrow) size is the bar's thickness.
    void SetClientSize(int width, int height);
    void SetRange(int minimum, int maximum, bool redraw = true);
    /// Moves the thumb to `position` (clamped to 0..length) without notifying the owner.
    void SetScrollPos(int position);

    bool Vertical() const { return m_vertical; }
    int Length() const { return m_length; }
    int Position() const { return m_position; }
    int ThumbSize() const { return m_thumb; }
    int ThumbOffset() const { return m_thumbOffset; }
    int Track() const;
    bool Dragging() const { return m_dragging; }
    bool Pressed(Part part) const;
    bool Hovered(Part part) const;

    int OffsetFromPosition(int position) const;
    int PositionFromOffset(int offset) const;
    Rect PartRect(Part part) const;
    Part PartAt(Point p) const;

    void OnLButtonDown(Point p);
    void OnMouseMove(Point p);
    void OnLButtonUp(Point p);
    /// `pointer` is the cursor in client coordinates, `inside` whether it is over the bar.
    void OnTimer(int id, Point pointer, bool inside);

    void Paint(Canvas& canvas) const;

  private:
    int Along(Point p) const { return m_vertical ? p.y : p.x; }
    int ClientLength() const { return m_vertical ? m_height : m_width; }
    int ClampOffset(int offset) const;
    void CentreThumbOn(int along);
    void LineStep(bool down);
    void PaintArrow(Canvas& canvas, Part part) const;

    ScrollBarHost& m_host;
    bool m_vertical;
    int m_width = 0;
    int m_height = 0;
    int m_thumb = 20;
    int m_min = 0;
    int m_max = 0;
    int m_length = 0;
    int m_position = 0;
    int m_thumbOffset = 20;
    bool m_firstPressed = false;
    bool m_secondPressed = false;
    bool m_firstHover = false;
    bool m_secondHover = false;
    bool m_thumbHover = false;
    bool m_dragging = false;
};

}  // namespace qelt
