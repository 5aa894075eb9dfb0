// Keyboard layouts: the list and the one in force, the characters keys give on each, the case of cp1251 text,
// and TranslateMessage with the layout or with the text the screen typed.
#include "platform/user/user.h"
#include "tests/platform/user/recorder.h"

#include <gtest/gtest.h>

#include <string>

using usertest::Recorder;

namespace {

// Puts the US layout back in force, as every other test expects.
class Keyboard : public ::testing::Test {
protected:
  ~Keyboard() override { ActivateKeyboardLayout(kLayoutUS, 0); }
};

TEST_F(Keyboard, UsIsInForceAndRussianIsInTheList)
{
  EXPECT_EQ(GetKeyboardLayout(0), kLayoutUS);
  ASSERT_EQ(GetKeyboardLayoutList(0, nullptr), 2);
  HKL list[2] = {};
  EXPECT_EQ(GetKeyboardLayoutList(2, list), 2);
  EXPECT_EQ(list[0], kLayoutUS);
  EXPECT_EQ(list[1], kLayoutRussian);

  EXPECT_EQ(ActivateKeyboardLayout(kLayoutRussian, 0), kLayoutUS);
  EXPECT_EQ(GetKeyboardLayout(0), kLayoutRussian);
  EXPECT_EQ(ActivateKeyboardLayout(reinterpret_cast<HKL>(static_cast<ULONG_PTR>(HKL_NEXT)), 0), kLayoutRussian);
  EXPECT_EQ(GetKeyboardLayout(0), kLayoutUS);
  // A layout not in the list changes nothing.
  EXPECT_EQ(ActivateKeyboardLayout(reinterpret_cast<HKL>(static_cast<ULONG_PTR>(0x04070407)), 0), nullptr);
  EXPECT_EQ(GetKeyboardLayout(0), kLayoutUS);
  EXPECT_EQ(LoadKeyboardLayoutA("00000419", KLF_ACTIVATE), kLayoutRussian);
  EXPECT_EQ(GetKeyboardLayout(0), kLayoutRussian);
}

TEST_F(Keyboard, KeysGiveTheCharactersOfTheirLayout)
{
  enum Mods { None = 0, Shift = 1, Caps = 2, Ctrl = 4 };
  struct Case {
    HKL layout;
    UINT vk;
    int mods;
    int expected;  // the cp1251 character, 0 for none
  };
  auto b = [](const char* s) { return static_cast<int>(static_cast<unsigned char>(s[0])); };
  const Case cases[] = {
      {kLayoutUS, 'F', None, 'f'},
      {kLayoutUS, 'F', Shift | Caps, 'f'},
      {kLayoutUS, '3', Shift, '#'},
      {kLayoutRussian, 'F', None, b("а")},
      {kLayoutRussian, 'F', Shift, b("А")},
      {kLayoutRussian, 'Q', Caps, b("Й")},
      {kLayoutRussian, VK_OEM_3, Shift, b("Ё")},
      {kLayoutRussian, VK_OEM_1, None, b("ж")},
      {kLayoutRussian, VK_OEM_PERIOD, None, b("ю")},
      {kLayoutRussian, VK_OEM_2, None, '.'},
      {kLayoutRussian, VK_OEM_2, Shift, ','},
      {kLayoutRussian, '3', Shift, b("№")},
      {kLayoutRussian, '7', Shift, '?'},
      {kLayoutRussian, '7', None, '7'},
      // Control characters do not depend on the layout: Ctrl+C copies in either.
      {kLayoutRussian, 'C', Ctrl, 0x03},
      {kLayoutRussian, VK_RETURN, None, '\r'},
      {kLayoutRussian, VK_F5, None, 0},
      {kLayoutRussian, VK_LEFT, None, 0},
  };
  for (const Case& c : cases) {
    BYTE keys[256] = {};
    keys[VK_SHIFT] = (c.mods & Shift) != 0 ? 0x80 : 0;
    keys[VK_CAPITAL] = (c.mods & Caps) != 0 ? 0x01 : 0;
    keys[VK_CONTROL] = (c.mods & Ctrl) != 0 ? 0x80 : 0;
    WORD ch = 0;
    const int n = ToAsciiEx(c.vk, MapVirtualKeyExA(c.vk, MAPVK_VK_TO_VSC, c.layout), keys, &ch, 0, c.layout);
    SCOPED_TRACE(testing::Message() << "key " << std::hex << c.vk << " mods " << c.mods);
    EXPECT_EQ(n, c.expected != 0 ? 1 : 0);
    if (n == 1) {
      EXPECT_EQ(ch, c.expected);
    }
  }

  // The character on the key cap, and the key of a character, per layout.
  EXPECT_EQ(MapVirtualKeyExA('F', MAPVK_VK_TO_CHAR, kLayoutUS), static_cast<UINT>('F'));
  EXPECT_EQ(MapVirtualKeyExA('F', MAPVK_VK_TO_CHAR, kLayoutRussian), static_cast<UINT>(b("А")));
  EXPECT_EQ(MapVirtualKeyExA(VK_F5, MAPVK_VK_TO_CHAR, kLayoutRussian), 0u);
  EXPECT_EQ(MapVirtualKeyExA('F', MAPVK_VK_TO_VSC, kLayoutRussian), 0x21u);
  EXPECT_EQ(VkKeyScanExA("ф"[0], kLayoutRussian), static_cast<SHORT>('A'));
  EXPECT_EQ(VkKeyScanExA("Ф"[0], kLayoutRussian), static_cast<SHORT>(0x100 | 'A'));
  EXPECT_EQ(VkKeyScanExA("ф"[0], kLayoutUS), -1);
  EXPECT_EQ(VkKeyScanExA('.', kLayoutRussian), static_cast<SHORT>(VK_OEM_2));

  // Without a layout named, the one in force answers.
  BYTE keys[256] = {};
  WORD ch = 0;
  ActivateKeyboardLayout(kLayoutRussian, 0);
  ASSERT_EQ(ToAscii('Z', 0, keys, &ch, 0), 1);
  EXPECT_EQ(ch, b("я"));
  EXPECT_EQ(MapVirtualKeyA(VK_OEM_6, MAPVK_VK_TO_CHAR), static_cast<UINT>(b("Ъ")));
  EXPECT_EQ(VkKeyScanA("я"[0]), static_cast<SHORT>('Z'));
}

TEST_F(Keyboard, CaseChangesCyrillicToo)
{
  struct Case {
    const char* text;
    const char* upper;
    const char* lower;
  };
  const Case cases[] = {
      {"Ёлка и ёж, Tree", "ЁЛКА И ЁЖ, TREE", "ёлка и ёж, tree"},
      {"Ъь яЯ ўі 123", "ЪЬ ЯЯ ЎІ 123", "ъь яя ўі 123"},
  };
  for (const Case& c : cases) {
    std::string upper = c.text;
    std::string lower = c.text;
    EXPECT_EQ(CharUpperA(upper.data()), upper.data());
    CharLowerA(lower.data());
    EXPECT_EQ(upper, c.upper);
    EXPECT_EQ(lower, c.lower);
  }
  // One character in the pointer's low word comes back changed in the same form.
  const auto one = [](const char* s) { return reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(static_cast<BYTE>(s[0]))); };
  EXPECT_EQ(CharUpperA(one("я")), one("Я"));
  EXPECT_EQ(CharLowerA(one("Ё")), one("ё"));
  EXPECT_EQ(CharUpperA(one("7")), one("7"));
  // A buffer changes only in its length, zeros and all.
  char buffer[] = {'a', '\0', 'b', 'c'};
  EXPECT_EQ(CharUpperBuffA(buffer, 3), 3u);
  EXPECT_EQ(std::string(buffer, 4), std::string("A\0Bc", 4));
}

// The characters TranslateMessage makes of what is waiting, in order.
std::string Typed()
{
  std::string typed;
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    if (msg.message == WM_CHAR) {
      typed += static_cast<char>(msg.wParam);
    }
    DispatchMessage(&msg);
  }
  return typed;
}

TEST_F(Keyboard, TranslateMessageTypesTheLayoutsCharacterOrTheScreensText)
{
  Recorder rec;
  HWND main = rec.Create("main", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 200, 100});
  SetFocus(main);
  rec.Pump();

  ActivateKeyboardLayout(kLayoutRussian, 0);
  user::InjectKeyPress('D');
  user::InjectKey(VK_SHIFT, true);
  user::InjectKeyPress('J');
  user::InjectKey(VK_SHIFT, false);
  user::InjectKey(VK_CONTROL, true);
  user::InjectKeyPress('C');
  user::InjectKey(VK_CONTROL, false);
  EXPECT_EQ(Typed(), "вО\x03");

  // The screen's text wins over the layout, and characters cp1251 lacks were dropped before they came.
  ActivateKeyboardLayout(kLayoutUS, 0);
  user::InjectTypedKey('D', true, std::string("д"));
  user::InjectTypedKey('D', false, std::nullopt);
  user::InjectTypedKey(VK_PACKET, true, std::string("€"));
  user::InjectTypedKey(VK_PACKET, false, std::nullopt);
  user::InjectTypedKey('Q', true, std::string());  // typed something cp1251 has not: nothing
  user::InjectTypedKey('Q', false, std::nullopt);
  user::InjectTypedKey('W', true, std::nullopt);  // no text: the layout decides
  user::InjectTypedKey('W', false, std::nullopt);
  EXPECT_EQ(Typed(), "д€w");

  // A key the program never translates leaves no text behind for the next one.
  user::InjectTypedKey('E', true, std::string("у"));
  user::InjectTypedKey('E', false, std::nullopt);
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    DispatchMessage(&msg);
  }
  user::InjectKeyPress('E');
  EXPECT_EQ(Typed(), "e");
  DestroyWindow(main);
}

}  // namespace
