#include "charts/page_rect.h"

#include "charts/scales.h"

namespace torvex {

Rect printPageRect(const DeviceSize& device) {
    const int hr = device.dotsAcross;
    const int vr = device.dotsDown;
    const int hs = device.millimetresAcross;
    const int vs = device.millimetresDown;
    if (hs <= 0 || vs <= 0) return Rect{0, 0, hr, vr};
    // Whole dots per millimetre, as the margins are counted in them.
    const int px = hr / hs;
    const int py = vr / vs;
    Rect page;
    if (vs > hs) {
        page.left = toDevice(25.0 * px);
        page.top = toDevice(26.0 * py);
        page.right = toDevice(hr - 15.0 * px);
        page.bottom = toDevice(page.top + (page.right - page.left) * 0.68);
    } else {
        page.top = toDevice(26.0 * py);
        page.right = toDevice(hr - 25.0 * px);
        page.bottom = toDevice(vr - 16.0 * py);
        page.left = toDevice(page.right - (page.bottom - page.top) * 1.47);
    }
    return page;
}

Rect printPageRect(const DrawingContext& dc) { return printPageRect(dc.deviceSize()); }

Rect windowPageRect(int width, int height) {
    const int proportionate = static_cast<int>(width / kNarrowestPageAspect);
    return Rect{0, 0, width, height > proportionate ? proportionate : height};
}

} // namespace torvex
