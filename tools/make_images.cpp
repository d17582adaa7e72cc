// Builds the tool's bitmaps and cursor from the text art in resources/images.
//   make_images ART_DIR OUT_DIR [PREVIEW.png]
// tool16.txt: 16 x 16, '.' is the checkered background (palette 9 and 15),
// hex digits are indices into the standard 16-colour palette.
// cursor32.txt: 32 x 32, '#' black, 'o' white, '.' transparent.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {

const uint8_t kPalette[16][3] = {  // r, g, b
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},  {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},    {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};

const int kCursorHotX = 15;
const int kCursorHotY = 15;

std::vector<std::string> ReadArt(const std::string& path, size_t size)
{
    std::ifstream in(path);
    std::vector<std::string> rows;
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            rows.push_back(line);
    if (rows.size() != size)
        throw std::runtime_error(path + ": wrong number of rows");
    for (const std::string& row : rows)
        if (row.size() != size)
            throw std::runtime_error(path + ": wrong row length");
    return rows;
}

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutInfoHeader(std::vector<uint8_t>& out, int width, int height, int bits, uint32_t imageBytes, int colours)
{
    Put32(out, 40);
    Put32(out, width);
    Put32(out, height);
    Put16(out, 1);
    Put16(out, bits);
    Put32(out, 0);  // BI_RGB
    Put32(out, imageBytes);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, colours);
    Put32(out, 0);
}

void PutPaletteEntry(std::vector<uint8_t>& out, const uint8_t rgb[3])
{
    out.push_back(rgb[2]);
    out.push_back(rgb[1]);
    out.push_back(rgb[0]);
    out.push_back(0);
}

int PaletteIndexAt(const std::vector<std::string>& art, int x, int y)
{
    const char c = art[y][x];
    if (c == '.')
        return (x + y) % 2 == 0 ? 9 : 15;
    return std::stoi(std::string(1, c), nullptr, 16);
}

bool IsDarkIndex(int index)
{
    return index == 0 || index == 8;
}

bool MonoIsWhite(const std::vector<std::string>& art, int x, int y)
{
    if (art[y][x] == '.')
        return (x + y) % 2 != 0;
    return !IsDarkIndex(PaletteIndexAt(art, x, y));
}

std::vector<uint8_t> WithFileHeader(const std::vector<uint8_t>& dib, uint32_t bitsOffset)
{
    std::vector<uint8_t> out = {'B', 'M'};
    Put32(out, 14 + dib.size());
    Put32(out, 0);
    Put32(out, 14 + bitsOffset);
    out.insert(out.end(), dib.begin(), dib.end());
    return out;
}

std::vector<uint8_t> ColourBitmap(const std::vector<std::string>& art)
{
    std::vector<uint8_t> dib;
    PutInfoHeader(dib, 16, 16, 4, 16 * 8, 16);
    for (const auto& rgb : kPalette)
        PutPaletteEntry(dib, rgb);
    const uint32_t bitsOffset = dib.size();
    for (int y = 15; y >= 0; --y)
        for (int x = 0; x < 16; x += 2)
            dib.push_back(static_cast<uint8_t>(PaletteIndexAt(art, x, y) << 4 | PaletteIndexAt(art, x + 1, y)));
    return WithFileHeader(dib, bitsOffset);
}

// Rows of 1-bit pixels, bottom-up, each padded to 4 bytes.
void PutMonoRows(std::vector<uint8_t>& out, int size, bool (*bit)(const std::vector<std::string>&, int, int),
                 const std::vector<std::string>& art)
{
    const int rowBytes = (size / 8 + 3) & ~3;
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(rowBytes, 0);
        for (int x = 0; x < size; ++x)
            if (bit(art, x, y))
                row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
}

const uint8_t kBlack[3] = {0, 0, 0};
const uint8_t kWhite[3] = {255, 255, 255};

std::vector<uint8_t> MonoBitmap(const std::vector<std::string>& art)
{
    std::vector<uint8_t> dib;
    PutInfoHeader(dib, 16, 16, 1, 16 * 4, 2);
    PutPaletteEntry(dib, kBlack);
    PutPaletteEntry(dib, kWhite);
    const uint32_t bitsOffset = dib.size();
    PutMonoRows(dib, 16, MonoIsWhite, art);
    return WithFileHeader(dib, bitsOffset);
}

// Monochrome cursor masks: AND 1 keeps the screen, XOR 1 makes the pixel white.
bool CursorXor(const std::vector<std::string>& art, int x, int y)
{
    return art[y][x] == 'o';
}
bool CursorAnd(const std::vector<std::string>& art, int x, int y)
{
    return art[y][x] == '.';
}

std::vector<uint8_t> Cursor(const std::vector<std::string>& art)
{
    std::vector<uint8_t> image;
    PutInfoHeader(image, 32, 64, 1, 0, 0);  // height covers both masks
    PutPaletteEntry(image, kBlack);
    PutPaletteEntry(image, kWhite);
    PutMonoRows(image, 32, CursorXor, art);
    PutMonoRows(image, 32, CursorAnd, art);

    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 2);  // cursor
    Put16(out, 1);
    out.push_back(32);
    out.push_back(32);
    out.push_back(2);
    out.push_back(0);
    Put16(out, kCursorHotX);
    Put16(out, kCursorHotY);
    Put32(out, image.size());
    Put32(out, 6 + 16);
    out.insert(out.end(), image.begin(), image.end());
    return out;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

// The three images side by side, each pixel an 8 x 8 block, for a person to look at.
void WritePreview(const std::string& path, const std::vector<std::string>& tool, const std::vector<std::string>& cursor)
{
    const int scale = 8;
    const int width = (16 + 4 + 16 + 4 + 32) * scale;
    const int height = 32 * scale;
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3, 96);
    auto fill = [&](int px, int py, const uint8_t c[3]) {
        for (int dy = 0; dy < scale; ++dy)
            for (int dx = 0; dx < scale; ++dx) {
                uint8_t* p = &rgb[((py * scale + dy) * width + px * scale + dx) * 3];
                p[0] = c[0];
                p[1] = c[1];
                p[2] = c[2];
            }
    };
    const uint8_t teal[3] = {0, 128, 128};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            fill(x, y, kPalette[PaletteIndexAt(tool, x, y)]);
            fill(20 + x, y, MonoIsWhite(tool, x, y) ? kWhite : kBlack);
        }
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            fill(40 + x, y, CursorAnd(cursor, x, y) ? teal : CursorXor(cursor, x, y) ? kWhite : kBlack);
    stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s ART_DIR OUT_DIR [PREVIEW.png]\n", argv[0]);
        return 2;
    }
    try {
        const std::string artDir = argv[1];
        const std::string outDir = argv[2];
        const auto tool = ReadArt(artDir + "/tool16.txt", 16);
        const auto cursor = ReadArt(artDir + "/cursor32.txt", 32);
        WriteFile(outDir + "/toolcolor.bmp", ColourBitmap(tool));
        WriteFile(outDir + "/toolmono.bmp", MonoBitmap(tool));
        WriteFile(outDir + "/toolcursor.cur", Cursor(cursor));
        if (argc > 3)
            WritePreview(argv[3], tool, cursor);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_images: %s\n", e.what());
        return 1;
    }
    return 0;
}
