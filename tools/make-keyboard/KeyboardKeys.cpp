#include "KeyboardKeys.h"

namespace keyloom::tools {
namespace {

// A key unit is 40 px; neighbouring keycaps leave 4 px between them.
constexpr int kUnit = 40;
constexpr int kGap = 4;
// The keys' block is centred in the picture: 22.5 units wide with the
// clusters 0.4 units apart, 6 units plus a 0.4 unit gap under the F row high.
constexpr double kClusterGap = 0.4;
constexpr double kNavigationX = 15 + kClusterGap;
constexpr double kKeypadX = kNavigationX + 3 + kClusterGap;
constexpr double kBlockWidth = kKeypadX + 4;
constexpr double kFunctionRowGap = 0.4;
constexpr double kBlockHeight = 6 + kFunctionRowGap;
constexpr double kLeft = (kPictureWidth - kBlockWidth * kUnit) / 2;
constexpr double kTop = (kPictureHeight - kBlockHeight * kUnit) / 2;

struct Row {
  std::vector<KeyboardKey>& keys;
  double y;  // in units, from the top of the block
  double x = 0;

  // Places the next key at the cursor and moves the cursor past it.
  Row& Key(uint8_t vk, bool extended, const char* legend, double width = 1, double height = 1) {
    return At(x, vk, extended, legend, width, height);
  }
  Row& At(double at, uint8_t vk, bool extended, const char* legend, double width = 1, double height = 1) {
    const int left = static_cast<int>(kLeft + at * kUnit + 0.5);
    const int top = static_cast<int>(kTop + y * kUnit + 0.5);
    const int w = static_cast<int>(width * kUnit + 0.5) - kGap;
    const int h = static_cast<int>(height * kUnit + 0.5) - kGap;
    keys.push_back({vk, extended, QString::fromUtf8(legend), QRect(left, top, w, h)});
    x = at + width;
    return *this;
  }
  Row& Skip(double units) {
    x += units;
    return *this;
  }
};

}  // namespace

std::vector<KeyboardKey> KeyboardKeys() {
  std::vector<KeyboardKey> keys;
  const double r1 = 1 + kFunctionRowGap;

  Row{keys, 0}
      .Key(0x1B, false, "ESC").Skip(1)
      .Key(0x70, false, "F1").Key(0x71, false, "F2").Key(0x72, false, "F3").Key(0x73, false, "F4").Skip(0.5)
      .Key(0x74, false, "F5").Key(0x75, false, "F6").Key(0x76, false, "F7").Key(0x77, false, "F8").Skip(0.5)
      .Key(0x78, false, "F9").Key(0x79, false, "F10").Key(0x7A, false, "F11").Key(0x7B, false, "F12")
      .At(kNavigationX, 0x2C, true, "PRT\nSC").Key(0x91, false, "SCR\nLK").Key(0x13, false, "PAUSE");

  Row{keys, r1}
      .Key(0xC0, false, "~\n`").Key(0x31, false, "!\n1").Key(0x32, false, "@\n2").Key(0x33, false, "#\n3")
      .Key(0x34, false, "$\n4").Key(0x35, false, "%\n5").Key(0x36, false, "^\n6").Key(0x37, false, "&\n7")
      .Key(0x38, false, "*\n8").Key(0x39, false, "(\n9").Key(0x30, false, ")\n0").Key(0xBD, false, "_\n-")
      .Key(0xBB, false, "+\n=").Key(0x08, false, "BACKSPACE", 2)
      .At(kNavigationX, 0x2D, true, "INS").Key(0x24, true, "HOME").Key(0x21, true, "PG\nUP")
      .At(kKeypadX, 0x90, true, "NUM").Key(0x6F, true, "/").Key(0x6A, false, "*").Key(0x6D, false, "-");

  Row{keys, r1 + 1}
      .Key(0x09, false, "TAB", 1.5).Key(0x51, false, "Q").Key(0x57, false, "W").Key(0x45, false, "E")
      .Key(0x52, false, "R").Key(0x54, false, "T").Key(0x59, false, "Y").Key(0x55, false, "U")
      .Key(0x49, false, "I").Key(0x4F, false, "O").Key(0x50, false, "P").Key(0xDB, false, "{\n[")
      .Key(0xDD, false, "}\n]").Key(0xDC, false, "|\n\\", 1.5)
      .At(kNavigationX, 0x2E, true, "DEL").Key(0x23, true, "END").Key(0x22, true, "PG\nDN")
      .At(kKeypadX, 0x67, false, "7").Key(0x68, false, "8").Key(0x69, false, "9").Key(0x6B, false, "+", 1, 2);

  Row{keys, r1 + 2}
      .Key(0x14, false, "CAPS", 1.75).Key(0x41, false, "A").Key(0x53, false, "S").Key(0x44, false, "D")
      .Key(0x46, false, "F").Key(0x47, false, "G").Key(0x48, false, "H").Key(0x4A, false, "J")
      .Key(0x4B, false, "K").Key(0x4C, false, "L").Key(0xBA, false, ":\n;").Key(0xDE, false, "\"\n'")
      .Key(0x0D, false, "ENTER", 2.25)
      .At(kKeypadX, 0x64, false, "4").Key(0x65, false, "5").Key(0x66, false, "6");

  Row{keys, r1 + 3}
      .Key(0xA0, false, "SHIFT", 2.25).Key(0x5A, false, "Z").Key(0x58, false, "X").Key(0x43, false, "C")
      .Key(0x56, false, "V").Key(0x42, false, "B").Key(0x4E, false, "N").Key(0x4D, false, "M")
      .Key(0xBC, false, "<\n,").Key(0xBE, false, ">\n.").Key(0xBF, false, "?\n/").Key(0xA1, false, "SHIFT", 2.75)
      .At(kNavigationX + 1, 0x26, true, "\u25B2")
      .At(kKeypadX, 0x61, false, "1").Key(0x62, false, "2").Key(0x63, false, "3").Key(0x0D, true, "ENT", 1, 2);

  Row{keys, r1 + 4}
      .Key(0xA2, false, "CTRL", 1.25).Key(0x5B, true, "WIN", 1.25).Key(0xA4, false, "ALT", 1.25)
      .Key(0x20, false, "", 6.25).Key(0xA5, true, "ALT", 1.25).Key(0x5C, true, "WIN", 1.25)
      .Key(0x5D, true, "MENU", 1.25).Key(0xA3, true, "CTRL", 1.25)
      .At(kNavigationX, 0x25, true, "\u25C0").Key(0x28, true, "\u25BC").Key(0x27, true, "\u25B6")
      .At(kKeypadX, 0x60, false, "0", 2).Key(0x6E, false, ".");

  return keys;
}

}  // namespace keyloom::tools
