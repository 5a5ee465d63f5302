// The template of dialog 2003 as the resource compiler left it in the program: the controls
// the dialog always had keep their ids, texts and places in dialog units, whatever is added.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "resources/resource_ids.h"

namespace korvane {
namespace {

struct DialogItem {
    DWORD style = 0;
    int id = 0;  // -1 for the plain labels
    std::string className;
    std::string text;  // "#103" for a resource named by number
    short x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogTemplate {
    short x = 0, y = 0, cx = 0, cy = 0;
    std::vector<DialogItem> items;
};

// Reads a DLGTEMPLATE in its packed 16-bit words, as the resource compiler wrote it.
class TemplateReader {
  public:
    TemplateReader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    WORD Word() {
        WORD value = 0;
        if (offset_ + sizeof value > size_) {
            ok_ = false;
            return 0;
        }
        std::memcpy(&value, data_ + offset_, sizeof value);
        offset_ += sizeof value;
        return value;
    }
    DWORD Dword() {
        const DWORD low = Word();
        return low | (static_cast<DWORD>(Word()) << 16);
    }
    void AlignToDword() { offset_ = (offset_ + 3) & ~std::size_t{3}; }
    void Skip(std::size_t bytes) { offset_ += bytes; }
    // A zero-terminated UTF-16 text; the dialog's texts are all ASCII.
    std::string Text() {
        std::string text;
        while (ok_) {
            const WORD c = Word();
            if (c == 0) {
                break;
            }
            text.push_back(static_cast<char>(c));
        }
        return text;
    }
    // A name or a number: 0xFFFF and the number, or the text itself.
    std::string NameOrNumber() {
        WORD first = Word();
        if (first == 0xFFFF) {
            // Appended, not "#" + ...: GCC 12 reads that concatenation as an overlapping copy.
            std::string number = "#";
            number += std::to_string(Word());
            return number;
        }
        std::string text;
        while (ok_ && first != 0) {
            text.push_back(static_cast<char>(first));
            first = Word();
        }
        return text;
    }

  private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
    bool ok_ = true;
};

// The predefined classes by atom or by name, in either case: windres writes the names in
// capitals. Class names are compared as Windows compares them, without case.
std::string ClassName(std::string stored) {
    static const std::map<std::string, std::string> kAtoms = {
        {"#128", "BUTTON"}, {"#129", "EDIT"}, {"#130", "STATIC"}, {"#133", "COMBOBOX"}};
    const auto atom = kAtoms.find(stored);
    if (atom != kAtoms.end()) {
        return atom->second;
    }
    std::transform(stored.begin(), stored.end(), stored.begin(),
                   [](char c) { return static_cast<char>(std::toupper(c)); });
    return stored;
}

bool LoadConfigTemplate(DialogTemplate& dialog) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(KORVANE_CONFIG_DIALOG), RT_DIALOG);
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    if (loaded == nullptr) {
        return false;
    }
    TemplateReader reader(static_cast<const unsigned char*>(LockResource(loaded)),
                          SizeofResource(module, found));
    const DWORD style = reader.Dword();
    reader.Dword();  // extended style
    const WORD count = reader.Word();
    dialog.x = static_cast<short>(reader.Word());
    dialog.y = static_cast<short>(reader.Word());
    dialog.cx = static_cast<short>(reader.Word());
    dialog.cy = static_cast<short>(reader.Word());
    reader.NameOrNumber();  // menu
    reader.NameOrNumber();  // class
    reader.Text();          // caption
    if ((style & DS_SETFONT) != 0) {
        reader.Word();
        reader.Text();
    }
    for (WORD i = 0; i < count && reader.ok(); ++i) {
        reader.AlignToDword();
        DialogItem item;
        item.style = reader.Dword();
        reader.Dword();  // extended style
        item.x = static_cast<short>(reader.Word());
        item.y = static_cast<short>(reader.Word());
        item.cx = static_cast<short>(reader.Word());
        item.cy = static_cast<short>(reader.Word());
        item.id = static_cast<short>(reader.Word());
        item.className = ClassName(reader.NameOrNumber());
        item.text = reader.NameOrNumber();
        reader.Skip(reader.Word());  // creation data
        dialog.items.push_back(item);
    }
    return reader.ok() && dialog.items.size() == count;
}

// Every control of the dialog before the glyph size was added, as its resource placed it
// (the template keeps "&&", which the control shows as one ampersand). The ids are numbers
// here, so a changed #define shows too.
const DialogItem kEarlierControls[] = {
    {0, 1017, "BUTTON", "OK", 9, 186, 50, 14},
    {0, 1030, "BUTTON", "Abbrechen", 299, 186, 50, 14},
    {0, 1007, "BUTTON", "enable Sound FX", 279, 172, 70, 10},
    {0, -1, "BUTTON", "Korvane Show", 7, 101, 126, 81},
    {0, 1008, "BUTTON", "Title && Credits", 13, 114, 61, 8},
    {0, 1022, "BUTTON", "Telephone Sequence", 13, 130, 83, 9},
    {0, 1023, "BUTTON", "Hello Jorrel Sequence", 12, 149, 82, 10},
    {0, 1024, "BUTTON", "Korvane Code", 13, 168, 69, 10},
    {0, 1027, "BUTTON", "Restore defaults", 148, 186, 62, 14},
    {0, 1003, "STATIC", "#103", 6, 7, 341, 37},
    {0, -1, "STATIC", "The Korvane Screensaver 2.1", 64, 50, 227, 8},
    {0, -1, "STATIC", "korvane@orvandel.example", 109, 79, 137, 9},
    {0, -1, "STATIC", "www.orvandel.example", 110, 70, 135, 9},
    {0, -1, "STATIC", "Art && sound by Orvandel", 131, 60, 92, 8},
    {0, 1029, "EDIT", "", 162, 109, 175, 43},
    {0, -1, "STATIC", "Write down Maeliss message to Jorrel:", 159, 98, 120, 8},
    {0, 1031, "EDIT", "", 297, 157, 44, 12},
    {0, -1, "STATIC", "Telephonenumber to search for(max. 10):", 161, 159, 130, 8},
};
constexpr short kEarlierBottom = 200;  // the buttons' lower edge

const DialogItem* FindItem(const DialogTemplate& dialog, const DialogItem& wanted) {
    for (const DialogItem& item : dialog.items) {
        // The labels share id -1, so a control is known by its id, class and text together.
        if (item.id == wanted.id && item.className == wanted.className &&
            item.text == wanted.text) {
            return &item;
        }
    }
    return nullptr;
}

std::string Place(const DialogItem& item) {
    return std::to_string(item.x) + "," + std::to_string(item.y) + " " + std::to_string(item.cx) +
           "x" + std::to_string(item.cy);
}

TEST(ConfigDialogLayoutTest, EarlierControlsKeepTheirIdsTextsAndPlaces) {
    DialogTemplate dialog;
    ASSERT_TRUE(LoadConfigTemplate(dialog)) << "no readable template of dialog 2003";
    for (const DialogItem& wanted : kEarlierControls) {
        const DialogItem* item = FindItem(dialog, wanted);
        ASSERT_NE(item, nullptr) << "no " << wanted.className << " " << wanted.id << " \""
                                 << wanted.text << "\"";
        EXPECT_EQ(Place(*item), Place(wanted)) << wanted.text;
    }
    // Same width; taller only by what was added below.
    EXPECT_EQ(dialog.x, 0);
    EXPECT_EQ(dialog.y, 0);
    EXPECT_EQ(dialog.cx, 354);
    EXPECT_GT(dialog.cy, 206);
    EXPECT_EQ(dialog.items.size(), std::size(kEarlierControls) + 2);
}

// The two are the last controls, so they come last in the tab order too.
TEST(ConfigDialogLayoutTest, GlyphSizeListAndLabelComeLastBelowTheEarlierControls) {
    DialogTemplate dialog;
    ASSERT_TRUE(LoadConfigTemplate(dialog));
    ASSERT_GE(dialog.items.size(), 2u);
    const DialogItem& label = dialog.items[dialog.items.size() - 2];
    const DialogItem& list = dialog.items.back();
    EXPECT_EQ(label.id, IDC_GLYPH_SIZE_LABEL);
    EXPECT_EQ(label.className, "STATIC");
    EXPECT_EQ(label.text, "Glyph size");
    EXPECT_EQ(list.id, IDC_GLYPH_SIZE_LIST);
    EXPECT_EQ(list.className, "COMBOBOX");
    EXPECT_EQ(list.style & 0x3, static_cast<DWORD>(CBS_DROPDOWNLIST));
    EXPECT_NE(list.style & WS_TABSTOP, 0u);
    for (const DialogItem* added : {&label, &list}) {
        EXPECT_GE(added->y, kEarlierBottom) << added->text;
        EXPECT_LE(added->x + added->cx, dialog.cx) << added->text;
    }
}

}  // namespace
}  // namespace korvane
