#pragma once

// What assistive technology is told about the program's own widget kinds:
// a ClickLabel is a button it can press, a NamedComboBox is named by what it
// is for, a StatusLine is a status bar whose text can be read, and every
// window but the main one and the splash is a dialog. Installed once, on
// first use.
namespace Accessibility {

void install();

} // namespace Accessibility
