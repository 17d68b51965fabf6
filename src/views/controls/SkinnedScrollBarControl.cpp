#include "views/controls/SkinnedScrollBarControl.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "views/ScrollCodes.h"

namespace qelt {
namespace {

// The bar's own look, drawn in code to sit with the dark board.
constexpr Colour kChannel = 0x1E1E1E;
constexpr Colour kChannelLine = 0x3A3A3A;
constexpr Colour kButton = 0x5B5B5B;
constexpr Colour kButtonHover = 0x7D7D7D;
constexpr Colour kButtonPressed = 0x9A9A9A;
constexpr Colour kGlyph = 0xD0D0D0;

int RoundDiv(long long numerator, long long denominator) {
    return static_cast<int>(std::llround(static_cast<double>(numerator) / static_cast<double>(denominator)));
}

}  // namespace

void SkinnedScrollBarControl::SetClientSize(int width, int height) {
    m_width = width;
    m_height = height;
    m_thumb = std::max(1, m_vertical ? width : height);
    m_thumbOffset = OffsetFromPosition(m_position);
}

void SkinnedScrollBarControl::SetRange(int minimum, int maximum, bool redraw) {
    m_min = minimum;
    m_max = maximum;
    m_length = std::abs(maximum - minimum);
    m_position = std::clamp(m_position, 0, m_length);
    m_thumbOffset = OffsetFromPosition(m_position);
    if (redraw) m_host.Invalidate();
}

void SkinnedScrollBarControl::SetScrollPos(int position) {
    m_position = std::clamp(position, 0, m_length);
    m_thumbOffset = OffsetFromPosition(m_position);
    m_host.Invalidate();
}

int SkinnedScrollBarControl::Track() const { return ClientLength() - 3 * m_thumb; }

int SkinnedScrollBarControl::ClampOffset(int offset) const {
    const int high = ClientLength() - 2 * m_thumb;
    return std::max(m_thumb, std::min(offset, high));
}

int SkinnedScrollBarControl::OffsetFromPosition(int position) const {
    const int track = Track();
    if (m_length == 0 || track <= 0) return ClampOffset(m_thumb);
    return ClampOffset(m_thumb + RoundDiv(static_cast<long long>(position) * track, m_length));
}

int SkinnedScrollBarControl::PositionFromOffset(int offset) const {
    const int track = Track();
    if (m_length == 0 || track <= 0) return 0;
    return std::clamp(RoundDiv(static_cast<long long>(offset - m_thumb) * m_length, track), 0, m_length);
}

Rect SkinnedScrollBarControl::PartRect(Part part) const {
    const int length = ClientLength();
    int from = 0;
    int to = 0;
    switch (part) {
        case Part::FirstArrow:
            from = 0;
            to = m_thumb;
            break;
        case Part::SecondArrow:
            from = length - m_thumb;
            to = length;
            break;
        case Part::Thumb:
            from = m_thumbOffset;
            to = m_thumbOffset + m_thumb;
            break;
        case Part::Channel:
            from = m_thumb;
            to = length - m_thumb;
            break;
        case Part::None:
            return {};
    }
    return m_vertical ? Rect{0, from, m_width, to} : Rect{from, 0, to, m_height};
}

SkinnedScrollBarControl::Part SkinnedScrollBarControl::PartAt(Point p) const {
    if (p.x < 0 || p.y < 0 || p.x >= m_width || p.y >= m_height) return Part::None;
    for (Part part : {Part::FirstArrow, Part::SecondArrow, Part::Thumb})
        if (PartRect(part).Contains(p)) return part;
    return Part::Channel;
}

bool SkinnedScrollBarControl::Pressed(Part part) const {
    return (part == Part::FirstArrow && m_firstPressed) || (part == Part::SecondArrow && m_secondPressed);
}

bool SkinnedScrollBarControl::Hovered(Part part) const {
    return (part == Part::FirstArrow && m_firstHover) || (part == Part::SecondArrow && m_secondHover) ||
           (part == Part::Thumb && m_thumbHover);
}

void SkinnedScrollBarControl::CentreThumbOn(int along) {
    m_thumbOffset = ClampOffset(along - m_thumb / 2);
    m_position = PositionFromOffset(m_thumbOffset);
    m_host.Notify(kSbThumbTrack, m_position);
    m_host.Invalidate();
}

void SkinnedScrollBarControl::LineStep(bool down) {
    m_position = down ? std::min(m_position + 1, m_length) : std::max(m_position - 1, 0);
    m_host.Notify(down ? kSbLineDown : kSbLineUp, m_position);
    m_thumbOffset = OffsetFromPosition(m_position);
    m_host.Invalidate();
}

void SkinnedScrollBarControl::OnLButtonDown(Point p) {
    m_host.StopTimer(kTimerRepeat);
    m_host.StopTimer(kTimerDelay);
    m_host.SetCapture(true);
    switch (PartAt(p)) {
        case Part::Thumb:
            m_dragging = true;
            break;
        case Part::FirstArrow:
        case Part::SecondArrow:
            (PartAt(p) == Part::FirstArrow ? m_firstPressed : m_secondPressed) = true;
            m_host.StartTimer(kTimerDelay, m_vertical ? 150 : 200);
            m_host.Invalidate();
            break;
        case Part::Channel:
            CentreThumbOn(Along(p));
            break;
        case Part::None:
            break;
    }
}

void SkinnedScrollBarControl::OnMouseMove(Point p) {
    const Part part = PartAt(p);
    const bool overFirst = part == Part::FirstArrow;
    const bool overSecond = part == Part::SecondArrow;
    if (overFirst != m_firstHover || overSecond != m_secondHover) {
        m_firstHover = overFirst;
        m_secondHover = overSecond;
        if (overFirst || overSecond) m_host.StartTimer(kTimerArrowHover, 80);
        m_host.Invalidate();
    }
    if (part == Part::Thumb && !m_thumbHover) {
        m_thumbHover = true;
        m_host.SetHandCursor(true);
        m_host.StartTimer(kTimerThumbHover, 50);
        m_host.Invalidate();
    }
    if (m_dragging) CentreThumbOn(Along(p));
}

void SkinnedScrollBarControl::OnLButtonUp(Point p) {
    m_host.StopTimer(kTimerRepeat);
    m_host.StopTimer(kTimerDelay);
    m_host.SetCapture(false);
    const Part part = PartAt(p);
    if (part == Part::FirstArrow) LineStep(false);
    if (part == Part::SecondArrow) LineStep(true);
    if (part == Part::Thumb) {
        m_thumbHover = true;
        m_host.StartTimer(kTimerThumbHover, 50);
    }
    m_firstPressed = m_secondPressed = false;
    m_dragging = false;
    m_host.Invalidate();
}

void SkinnedScrollBarControl::OnTimer(int id, Point pointer, bool inside) {
    switch (id) {
        case kTimerDelay:
            m_host.StopTimer(kTimerDelay);
            if (m_firstPressed || m_secondPressed) m_host.StartTimer(kTimerRepeat, 50);
            break;
        case kTimerRepeat:
            if (!inside) m_firstPressed = m_secondPressed = false;
            if (m_firstPressed) LineStep(false);
            if (m_secondPressed) LineStep(true);
            if (!m_firstPressed && !m_secondPressed) {
                m_host.StopTimer(kTimerRepeat);
                m_host.Invalidate();
            }
            break;
        case kTimerThumbHover:
            if (!inside || PartAt(pointer) != Part::Thumb) {
                m_thumbHover = false;
                m_host.StopTimer(kTimerThumbHover);
                m_host.SetHandCursor(false);
                m_host.Invalidate();
            }
            break;
        case kTimerArrowHover: {
            const Part part = inside ? PartAt(pointer) : Part::None;
            if (part != Part::FirstArrow && part != Part::SecondArrow) {
                m_firstHover = m_secondHover = false;
                m_host.StopTimer(kTimerArrowHover);
                m_host.Invalidate();
            }
            break;
        }
        default:
            break;
    }
}

void SkinnedScrollBarControl::PaintArrow(Canvas& canvas, Part part) const {
    const Rect r = PartRect(part);
    Colour face = kButton;
    if (Hovered(part)) face = kButtonHover;
    if (Pressed(part)) face = kButtonPressed;
    canvas.FillRect({r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, face);
    // A small triangle pointing outwards.
    const int cx = (r.left + r.right) / 2;
    const int cy = (r.top + r.bottom) / 2;
    const int s = std::max(2, m_thumb / 5);
    std::vector<Point> glyph;
    const bool first = part == Part::FirstArrow;
    if (m_vertical)
        glyph = first ? std::vector<Point>{{cx - s, cy + s / 2}, {cx + s, cy + s / 2}, {cx, cy - s / 2 - 1}}
                      : std::vector<Point>{{cx - s, cy - s / 2}, {cx + s, cy - s / 2}, {cx, cy + s / 2 + 1}};
    else
        glyph = first ? std::vector<Point>{{cx + s / 2, cy - s}, {cx + s / 2, cy + s}, {cx - s / 2 - 1, cy}}
                      : std::vector<Point>{{cx - s / 2, cy - s}, {cx - s / 2, cy + s}, {cx + s / 2 + 1, cy}};
    canvas.SelectPen(Pen::Solid(1, kGlyph));
    canvas.SelectBrush(Brush::Solid(kGlyph));
    canvas.Polygon(glyph);
}

void SkinnedScrollBarControl::Paint(Canvas& canvas) const {
    canvas.FillRect({0, 0, m_width, m_height}, kChannel);
    const Rect channel = PartRect(Part::Channel);
    canvas.SelectPen(Pen::Solid(1, kChannelLine));
    if (m_vertical) {
        canvas.MoveTo(m_width / 2, channel.top);
        canvas.LineTo(m_width / 2, channel.bottom);
    } else {
        canvas.MoveTo(channel.left, m_height / 2);
        canvas.LineTo(channel.right, m_height / 2);
    }
    PaintArrow(canvas, Part::FirstArrow);
    PaintArrow(canvas, Part::SecondArrow);
    const Rect thumb = PartRect(Part::Thumb);
    const Colour face = m_dragging ? kButtonPressed : (m_thumbHover ? kButtonHover : kButton);
    canvas.FillRect({thumb.left + 2, thumb.top + 2, thumb.right - 2, thumb.bottom - 2}, face);
}

}  // namespace qelt
