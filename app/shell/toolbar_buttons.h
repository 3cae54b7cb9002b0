#pragma once

#include <array>

// The top toolbar's 21 buttons, in order. A button without a key is a
// separator. The label is what "Button Labels" puts back, which for the
// moire button differs from its first caption.
struct ToolbarButtonEntry {
    const char *key;
    const char *caption;
    const char *label;
    const char *tooltip;
    const char *icon;
};

inline constexpr std::array<ToolbarButtonEntry, 21> kToolbar3Buttons = {{
    {"file", "File", "File", "Set Filename", "file"},
    {nullptr, "", "", nullptr, nullptr},
    {"area", "Area", "Area", "Set Area", "area"},
    {"Camera", "Pre", "Pre", "Preview", "camera"},
    {nullptr, "", "", nullptr, nullptr},
    {"refl", "Refl", "Refl", "Grab Reflection Images", "refl"},
    {"trans", "Trans", "Trans", "Grab Transmission Images", "trans"},
    {"moire", "Moiré", "Moire", "Grab Moiré Images", "moire"},
    {nullptr, "", "", nullptr, nullptr},
    {"align", "Align", "Align", "Align Images", "align"},
    {"mask", "Mask", "Mask", "Background", "mask"},
    {nullptr, "", "", nullptr, nullptr},
    {"clear", "Clear", "Clear", "Clear", "clear"},
    {nullptr, "", "", nullptr, nullptr},
    {"filter", "Filter", "Filter", "Apply Butterworth Filter", "filter"},
    {"x46", "i4,i6", "i4,i6", "Save Dark and Light Field Images as a Bitmap", "x46"},
    {"auto", "Auto", "Auto", "Automatically Increment File Name", "auto"},
    {nullptr, "", "", nullptr, nullptr},
    {"od", "Ondara", "Ondara", "Run Ondara", "ondara"},
    {"sb", "Sabeln", "Sabeln", "Run Sabeln", "sabeln"},
    {"MoireProg", "M P", "M P", "Run Moire Program", "moireprog"},
}};
