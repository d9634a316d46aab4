// QUELMres: the companion texts (application title, messages, enumeration
// texts, start-up texts), the dialog accelerators and the product mark.
#include "resources/KResourceLibrary.h"
#include "resources/KResourceTables.h"

#include <array>

namespace {
// Command identifiers as the window layer numbers them (ID_EDIT_COPY ...);
// this library links against nothing, so they are spelled out.
const ACCEL kDialogAccelerators[] = {
    {FVIRTKEY | FCONTROL, 'C', 0xE122},  // copy
    {FVIRTKEY | FCONTROL, 'X', 0xE123},  // cut
    {FVIRTKEY | FCONTROL, 'V', 0xE125},  // paste
    {FVIRTKEY | FCONTROL, 'A', 0xE12A},  // select all
    {FVIRTKEY | FCONTROL, 'Z', 0xE12B},  // undo
    {FVIRTKEY, 0x70, 0xE146},            // F1: help
};

// The mark, drawn in characters: '.' light grey (the face colour to be
// mapped), '#' dark blue, 'o' white.
constexpr const char kMarkArt[] =
    "................"
    "....########...."
    "...##oooooo##..."
    "..##oo####oo##.."
    "..#oo#....#oo#.."
    "..#oo#....#oo#.."
    "..#oo#....#oo#.."
    "..#oo#....#oo#.."
    "..#oo#..#.#oo#.."
    "..#oo#...##oo#.."
    "..##oo####oo##.."
    "...##oooooo###.."
    "....########.##."
    "..............##"
    "................"
    "................";

constexpr std::array<DWORD, 256> markPixels() {
  std::array<DWORD, 256> pixels{};
  for (int i = 0; i < 256; ++i)
    pixels[size_t(i)] = kMarkArt[i] == '#' ? 0x800000u    // RGB(0, 0, 128)
                        : kMarkArt[i] == 'o' ? 0xFFFFFFu  // white
                                             : 0xC0C0C0u; // RGB(192, 192, 192)
  return pixels;
}
constexpr std::array<DWORD, 256> kMarkPixels = markPixels();
static_assert(sizeof(kMarkArt) == 257, "the mark is 16 x 16");

const KAcceleratorTable kAcceleratorTables[] = {
    {IDR_DIALOG_ACCELERATORS, kDialogAccelerators, int(sizeof kDialogAccelerators / sizeof kDialogAccelerators[0])}};
const KBitmapResource kBitmaps[] = {{IDB_QUELM_MARK, 16, 16, kMarkPixels.data()}};

const KModuleResources kKinds = {nullptr, 0, kAcceleratorTables, 1, kBitmaps, 1};
}  // namespace

QUELM_RESOURCE_LIBRARY_WITH_KINDS("QUELMres", InitMFCExtension, kQUELMresStrings, kQUELMresStringCount, 1033,
                                  &kKinds)
