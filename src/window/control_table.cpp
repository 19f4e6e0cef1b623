#include "window/control_table.h"

#include "window/control_makers.h"

namespace veltro {
namespace {

using F = FontKind;
// clang-format off
const ControlEntry kControls[] = {
    // Plain labels, painted on the window surface.
    {"Label3", kNoIndex, Kind::Label, 1680, 0, 1095, 255, "Property of", F::Arial975, kRight, into<&Form1::Label3>},
    {"Label2", kNoIndex, Kind::Label, 2880, 0, 975, 255, "Label2", F::Arial975, kNone, into<&Form1::Label2>},
    {"Label7", kNoIndex, Kind::Label, 120, 360, 375, 255, "Pwr", F::Sans975Bold, kCentre, into<&Form1::Label7>},
    {"LblPwr", kNoIndex, Kind::Label, 4440, 480, 855, 255, "2500.00", F::Sans975Bold, kRight, into<&Form1::LblPwr>},
    {"LblW", kNoIndex, Kind::Label, 5300, 480, 255, 255, "W", F::Arial975Bold, kNone, into<&Form1::LblW>},
    {"Label16", kNoIndex, Kind::Scale, 540, 600, 3855, 255,
     "  |'''''''''''''''|'''''''''''''''''|''''''''''''''''|''''''''''''''|''''''''''''''''''''|''''''''|''''''|'''''''|''''''|''''| ",
     F::Default, kNone, into<&Form1::Label16>},
    {"Label19", kNoIndex, Kind::Label, 120, 720, 375, 255, "Ref", F::Default, kCentre, into<&Form1::Label19>},
    {"Label35", kNoIndex, Kind::Label, 4800, 720, 615, 255, "Peak", F::Sans975, kCentre, into<&Form1::Label35>},
    {"Label6", 0, Kind::Scale, 480, 840, 3975, 255,
     "   .1            .2                 .5              1             2                 5            10              25",
     F::Serif825, kHidden, into<&Form1::Label6>},
    {"Label6", 3, Kind::Scale, 600, 840, 3855, 255,
     "1             2                 5              10          20               50         100           250",
     F::Serif825, kHidden, into<&Form1::Label6>},
    {"Label6", 4, Kind::Scale, 600, 840, 3855, 255,
     "10         20               50          100        200             500      1000        2500",
     F::Serif825, kHidden, into<&Form1::Label6>},
    {"Label6", 5, Kind::Scale, 480, 840, 3975, 255,
     "   40          80              200         400        800             2K         4K           10K",
     F::Serif825, kHidden, into<&Form1::Label6>},
    {"Label10", kNoIndex, Kind::Filled, 600, 1275, 735, 45, "", F::Default, kNone, into<&Form1::Label10>, 0x00C000},
    {"Label11", kNoIndex, Kind::Filled, 1320, 1275, 495, 45, "", F::Default, kNone, into<&Form1::Label11>, 0xFFFF00},
    {"Label12", kNoIndex, Kind::Filled, 1800, 1275, 2580, 45, "", F::Default, kNone, into<&Form1::Label12>, 0xC00000},
    {"Label8", kNoIndex, Kind::Label, 0, 1320, 615, 255, "Swr", F::Sans975Bold, kCentre | kHidden, into<&Form1::Label8>},
    {"Label9", kNoIndex, Kind::Scale, 600, 1560, 3855, 135,
     " | ' ' | ' ' ' ' | ' ' ' ' ' ' | ' ' ' ' ' ' ' | ' ' ' ' ' | ' ' ' ' | ' ' ' ' ' ' ' | ' ' ' ' ' ' | ",
     F::Default, kHidden, into<&Form1::Label9>},
    {"Label6", 2, Kind::Scale, 600, 1680, 3855, 255,
     "1    1.2      1.5            2.0              3.0         4.0      5.0               7.0        10.0   ",
     F::Serif825, kHidden, into<&Form1::Label6>},
    {"LblRange", kNoIndex, Kind::Label, 840, 2040, 495, 255, "Auto", F::Sans975, kCentre | kBorder, into<&Form1::LblRange>},
    {"LblAlarmMode", kNoIndex, Kind::Label, 2400, 2040, 615, 255, "2.0", F::Sans975, kCentre | kBorder, into<&Form1::LblAlarmMode>},
    {"Label1", kNoIndex, Kind::Label, 4800, 3120, 735, 375, "Poll Rate (msec)", F::Default, kCentre | kWraps, into<&Form1::Label1>},
    {"Label17", kNoIndex, Kind::Label, 120, 3600, 855, 255, "Input String", F::Default, kNone, into<&Form1::Label17>},
    {"Label13", kNoIndex, Kind::Label, 1200, 3960, 1455, 255, "Same as Numerical", F::Default, kNone, into<&Form1::Label13>},
    {"Label20", kNoIndex, Kind::Label, 3240, 3960, 1095, 255, "Always on Top", F::Default, kNone, into<&Form1::Label20>},
    {"Label24", kNoIndex, Kind::Label, 4920, 3960, 1335, 495, "High Power Coupler", F::Default, kWraps, into<&Form1::Label24>},
    {"Label4", kNoIndex, Kind::Label, 120, 4080, 735, 255, "Bargraph:", F::Default, kNone, into<&Form1::Label4>},
    {"Label18", kNoIndex, Kind::Label, 1200, 4200, 975, 255, "Always Fast", F::Default, kNone, into<&Form1::Label18>},
    {"Label23", kNoIndex, Kind::Label, 3240, 4200, 1455, 255, "v1.2.0.0 or newer", F::Default, kNone, into<&Form1::Label23>},

    // Controls that are windows of their own.
    {"ProgressBar7", kNoIndex, Kind::Bar, 600, 360, 3795, 225, "", F::Default, kNone, into<&Form1::ProgressBar7>, 0, 120, 920},
    {"ProgressBar1", 0, Kind::Bar, 600, 360, 3795, 225, "", F::Default, kHidden, into<&Form1::ProgressBar1>, 0, 0, 100},
    {"ProgressBar1", 1, Kind::Bar, 600, 720, 3795, 150, "", F::Default, kNone, into<&Form1::ProgressBar1>, 0, 1, 2000},
    {"ProgressBar4", kNoIndex, Kind::Bar, 600, 1320, 3795, 225, "", F::Default, kNone, into<&Form1::ProgressBar4>, 0, 0, 499},
    {"ProgressBar3", 0, Kind::Bar, 600, 1320, 3795, 225, "", F::Default, kHidden, into<&Form1::ProgressBar3>, 0, 0, 100},
    {"TxtSWR", kNoIndex, Kind::TextBox, 4680, 1320, 735, 375, "SWR", F::Sans975Bold, kCentre | kFace, into<&Form1::TxtSWR>},
    {"CmdRange", kNoIndex, Kind::ColourButton, 240, 2040, 615, 255, "Range", F::Default, kNone, into<&Form1::CmdRange>},
    {"CmdAlarm", kNoIndex, Kind::ColourButton, 1800, 2040, 615, 255, "Alarm", F::Default, kNone, into<&Form1::CmdAlarm>},
    {"CmdPower", kNoIndex, Kind::Button, 3360, 2040, 1095, 255, "Power Mode", F::Default, kNone, into<&Form1::CmdPower>},
    {"Picture2", 0, Kind::Picture, 5040, 2040, 255, 255, "", F::Default, kNone, into<&Form1::Picture2>, 0xD20000},
    {"Picture5", kNoIndex, Kind::Picture, 5040, 2040, 255, 255, "", F::Default, kHidden, into<&Form1::Picture5>, 0x00C800},
    {"txtVector", 4, Kind::TextBox, 600, 2520, 255, 285, "Z:", F::Default, kNone, into<&Form1::txtVector>},
    {"txtVector", 0, Kind::TextBox, 840, 2520, 495, 285, "", F::Default, kNone, into<&Form1::txtVector>},
    {"txtVector", 5, Kind::TextBox, 1560, 2520, 375, 285, "PH:", F::Default, kNone, into<&Form1::txtVector>},
    {"txtVector", 1, Kind::TextBox, 1920, 2520, 495, 285, "", F::Default, kNone, into<&Form1::txtVector>},
    {"txtVector", 6, Kind::TextBox, 2640, 2520, 255, 285, "R:", F::Default, kNone, into<&Form1::txtVector>},
    {"txtVector", 2, Kind::TextBox, 2880, 2520, 495, 285, "", F::Default, kNone, into<&Form1::txtVector>},
    {"txtVector", 7, Kind::TextBox, 3600, 2520, 255, 285, "X:", F::Default, kNone, into<&Form1::txtVector>},
    {"txtVector", 3, Kind::TextBox, 3840, 2520, 495, 285, "", F::Default, kNone, into<&Form1::txtVector>},
    {"Combo1", kNoIndex, Kind::Combo, 120, 3120, 855, 315, "Com1", F::Default, kNone, into<&Form1::Combo1>},
    {"CmdCallsignSet", kNoIndex, Kind::Button, 1080, 3120, 495, 255, "Set", F::Default, kDisabled, into<&Form1::CmdCallsignSet>},
    {"TxtCallsignSet", kNoIndex, Kind::TextBox, 1560, 3120, 855, 285, "Call", F::Courier975, kDisabled, into<&Form1::TxtCallsignSet>},
    {"HScroll1", kNoIndex, Kind::Scroll, 2640, 3120, 1575, 255, "", F::Default, kNone, into<&Form1::HScroll1>},
    {"TxtPollRate", kNoIndex, Kind::TextBox, 4200, 3120, 615, 285, "", F::Default, kNone, into<&Form1::TxtPollRate>},
    {"Text1", kNoIndex, Kind::TextBox, 1080, 3600, 3495, 285, "Text1", F::Default, kNone, into<&Form1::Text1>},
    {"Check1", kNoIndex, Kind::Check, 960, 3960, 255, 255, "", F::Default, kNone, into<&Form1::Check1>},
    {"chkOnTop", kNoIndex, Kind::Check, 2880, 3960, 255, 255, "", F::Default, kNone, into<&Form1::chkOnTop>},
    {"chkHiPwr", kNoIndex, Kind::Check, 4680, 4005, 255, 255, "", F::Default, kNone, into<&Form1::chkHiPwr>},
    {"Check2", kNoIndex, Kind::Check, 960, 4200, 255, 255, "", F::Default, kNone, into<&Form1::Check2>},
    {"chkVersion", kNoIndex, Kind::Check, 2880, 4200, 255, 255, "", F::Default, kNone, into<&Form1::chkVersion>},
    {"Text3", kNoIndex, Kind::TextBox, 3840, 5400, 615, 375, "Text3", F::Default, kNone, into<&Form1::Text3>},
};
// clang-format on

}  // namespace

std::span<const ControlEntry> controlTable() {
    return kControls;
}

constexpr int kLabel22Top = 5160;
constexpr int kLabel22Pitch = 240;

ControlEntry label22Entry(int index) {
    return {"Label22",   index,   Kind::Label, 480, kLabel22Top + kLabel22Pitch * index, 615, 255,
            "Label22",   F::Default, kBorder, into<&Form1::Label22>};
}

}  // namespace veltro
