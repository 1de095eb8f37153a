#include "PixelGlyphs.h"

#include "PixelArt.h"

#include <map>

namespace {

using Rows = std::vector<std::string_view>;

const std::map<QString, Rows>& table()
{
    static const std::map<QString, Rows> glyphs = {
        {QStringLiteral("play"),
         {".#....", ".##...", ".###..", ".####.", ".#####", ".####.", ".###..", ".##...",
          ".#...."}},
        {QStringLiteral("pause"),
         {"###..###", "###..###", "###..###", "###..###", "###..###", "###..###", "###..###",
          "###..###", "###..###"}},
        {QStringLiteral("stop"),
         {"########", "########", "########", "########", "########", "########", "########",
          "########"}},
        {QStringLiteral("atzea"),
         {"##.....#", "##....##", "##...###", "##..####", "##.#####", "##..####", "##...###",
          "##....##", "##.....#"}},
        {QStringLiteral("aurrea"),
         {"#.....##", "##....##", "###...##", "####..##", "#####.##", "####..##", "###...##",
          "##....##", "#.....##"}},
        {QStringLiteral("gora"),
         {"....##....", "...####...", "..######..", ".########.", "##########", "...####...",
          "...####...", "...####...", "...####..."}},
        {QStringLiteral("bera"),
         {"...####...", "...####...", "...####...", "...####...", "##########", ".########.",
          "..######..", "...####...", "....##...."}},
        {QStringLiteral("gehitu"),
         {"...##...", "...##...", "...##...", "########", "########", "...##...", "...##...",
          "...##..."}},
        {QStringLiteral("kendu"), {"########", "########"}},
        {QStringLiteral("irten"),
         {"##....##", "###..###", ".######.", "..####..", "..####..", ".######.", "###..###",
          "##....##"}},
        {QStringLiteral("berria"),
         {"#####...", "#+++##..", "#+++#+#.", "#+++####", "#++++++#", "#++++++#", "#++++++#",
          "#++++++#", "########"}},
        {QStringLiteral("egilea"),
         {".##..", ".##..", ".....", "###..", ".##..", ".##..", ".##..", ".##..", "####."}},
        {QStringLiteral("gorde"),
         {"#########.", "##.....###", "##.....###", "##.....###", "##########", "#++++++++#",
          "#++++++++#", "#++++++++#", "##########"}},
        {QStringLiteral("ireki"),
         {"####......", "#++#####..", "#+++++++#.", "#+########", "#+#######.", "#+#######.",
          "#########.", "#########."}},
        {QStringLiteral("zerrenda"),
         {"##.#######", "..........", "##.#######", "..........", "##.#######", "..........",
          "##.#######"}},
    };
    return glyphs;
}

} // namespace

GlyphShape PixelGlyphs::shape(const QString& base)
{
    GlyphShape result;
    const auto found = table().find(base);
    if (found == table().end())
        return result;
    const PixelArt art(found->second);
    const QPoint offset((16 - art.width()) / 2, (16 - art.height()) / 2);
    result.solid.addRegion(art.region('#', offset));
    result.soft.addRegion(art.region('+', offset));
    return result;
}
