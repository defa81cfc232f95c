// SPDX-License-Identifier: Apache-2.0
// The tab control as a screen reader sees it: a page tab list whose children are page tabs,
// each named by its text, selected when it is the current tab, and chosen by its press action.
#pragma once

namespace vellmark {

class CTabControl;

// Lets the accessibility framework describe every tab control this way (once per process).
void InstallTabControlAccessible();

// Tells a screen reader that the tab at index became the current one (and has the focus when
// the tab control has it).
void NotifyTabSelected(CTabControl& tabs, int index);

} // namespace vellmark
