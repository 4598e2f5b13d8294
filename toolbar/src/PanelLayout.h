// The panel's arithmetic, kept apart from its window: where the shown buttons go, and which button
// the selection moves to.
#pragma once

#include <array>
#include <vector>

namespace panel {

constexpr int kButtonCount = 5;
constexpr int kButtonTop = 40;
constexpr int kLabelLeft = 4;
// The label sits this far above the bottom of the panel's bitmap.
constexpr int kLabelFromBottom = 20;

using EnabledButtons = std::array<bool, kButtonCount>;

// Left edges of n buttons of width buttonWidth spread over a panel panelWidth wide:
// gap = (panelWidth - n * buttonWidth) / n, button i at gap + i * (gap + buttonWidth - 1).
// No buttons give no positions.
std::vector<int> ButtonLefts(int n, int buttonWidth, int panelWidth);

// The next enabled button after current in direction step (+1 or -1), wrapping around; current when
// no other button is enabled.
int NextEnabledButton(const EnabledButtons& enabled, int current, int step);

// The button the selection rests on: an index out of range becomes 1, and a disabled button passes the
// selection on to the next enabled one. -1 when no button is enabled.
int SelectableButton(const EnabledButtons& enabled, int current);

} // namespace panel
