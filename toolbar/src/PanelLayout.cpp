// The panel's button positions and selection moves.
#include "PanelLayout.h"

namespace panel {

std::vector<int> ButtonLefts(int n, int buttonWidth, int panelWidth) {
    std::vector<int> lefts;
    if (n <= 0)
        return lefts;
    int gap = (panelWidth - n * buttonWidth) / n;
    for (int i = 0; i < n; ++i)
        lefts.push_back(gap + i * (gap + buttonWidth - 1));
    return lefts;
}

int NextEnabledButton(const EnabledButtons& enabled, int current, int step) {
    for (int moved = 1; moved < kButtonCount; ++moved) {
        int candidate = ((current + moved * step) % kButtonCount + kButtonCount) % kButtonCount;
        if (enabled[static_cast<std::size_t>(candidate)])
            return candidate;
    }
    return current;
}

int SelectableButton(const EnabledButtons& enabled, int current) {
    if (current < 0 || current >= kButtonCount)
        current = 1;
    if (enabled[static_cast<std::size_t>(current)])
        return current;
    int next = NextEnabledButton(enabled, current, 1);
    return enabled[static_cast<std::size_t>(next)] ? next : -1;
}

} // namespace panel
