#pragma once

#include <QString>

#include <array>

// Every window of the program, listed once. The order is the closing order,
// the main window last; each window's name comes from this list too, so the
// two cannot disagree. Find and Replace goes first: it acts on the page and
// holds a search that may still be running.
enum class WindowId {
    FindReplace,
    AboutHtml,
    AboutKorvaneTech,
    AddLinkForm,
    AddTitle,
    BgColor,
    FaqForm,
    Form2,
    Form3,
    Form4,
    FxForm,
    HlightColor,
    IPreview,
    MForm,
    OpenForm,
    PicComp,
    PicInternet,
    SaveForm,
    SaveForm2,
    SForm,
    Sout,
    Splash,
    TextColor,
    TxtSize,
    Main,
};

namespace WindowIds {

constexpr int Count = int(WindowId::Main) + 1;

// The window's name, as the window's objectName.
QString name(WindowId id);

} // namespace WindowIds
