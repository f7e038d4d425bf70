#include "plugins/brick_in/colour_table.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "plugins/brick_in/part_search.h"

namespace {

// The standard codes with the values of the LDraw library's colour file, for machines without
// one: code, 0xRRGGBB, alpha, luminance, finish. The main colour (16) is left out, so that it
// falls back to light grey, and so is the edge colour (24), which faces only inherit.
const LDrawColour kBuiltIn[] = {
    {0, 0x1B2A34, 255, 0, Finish::kPlastic},   {1, 0x1E5AA8, 255, 0, Finish::kPlastic},
    {2, 0x00852B, 255, 0, Finish::kPlastic},   {3, 0x069D9F, 255, 0, Finish::kPlastic},
    {4, 0xB40000, 255, 0, Finish::kPlastic},   {5, 0xD3359D, 255, 0, Finish::kPlastic},
    {6, 0x543324, 255, 0, Finish::kPlastic},   {7, 0x8A928D, 255, 0, Finish::kPlastic},
    {8, 0x545955, 255, 0, Finish::kPlastic},   {9, 0x97CBD9, 255, 0, Finish::kPlastic},
    {10, 0x58AB41, 255, 0, Finish::kPlastic},  {11, 0x00AAA4, 255, 0, Finish::kPlastic},
    {12, 0xF06D61, 255, 0, Finish::kPlastic},  {13, 0xF6A9BB, 255, 0, Finish::kPlastic},
    {14, 0xFAC80A, 255, 0, Finish::kPlastic},  {15, 0xF4F4F4, 255, 0, Finish::kPlastic},
    {17, 0xADD9A8, 255, 0, Finish::kPlastic},  {18, 0xFFD67F, 255, 0, Finish::kPlastic},
    {19, 0xD7BA8C, 255, 0, Finish::kPlastic},  {20, 0xAFBED6, 255, 0, Finish::kPlastic},
    {21, 0xE0FFB0, 240, 15, Finish::kPlastic}, {22, 0x671F81, 255, 0, Finish::kPlastic},
    {23, 0x0E3E9A, 255, 0, Finish::kPlastic},  {25, 0xD67923, 255, 0, Finish::kPlastic},
    {26, 0x901F76, 255, 0, Finish::kPlastic},  {27, 0xA5CA18, 255, 0, Finish::kPlastic},
    {28, 0x897D62, 255, 0, Finish::kPlastic},  {29, 0xFF9ECD, 255, 0, Finish::kPlastic},
    {30, 0xA06EB9, 255, 0, Finish::kPlastic},  {31, 0xCDA4DE, 255, 0, Finish::kPlastic},
    {32, 0x000000, 210, 0, Finish::kPlastic},  {33, 0x0020A0, 128, 0, Finish::kPlastic},
    {34, 0x237841, 128, 0, Finish::kPlastic},  {35, 0x56E646, 128, 0, Finish::kPlastic},
    {36, 0xC91A09, 128, 0, Finish::kPlastic},  {37, 0xDF6695, 128, 0, Finish::kPlastic},
    {38, 0xFF800D, 128, 0, Finish::kPlastic},  {39, 0xC1DFF0, 128, 0, Finish::kPlastic},
    {40, 0x635F52, 128, 0, Finish::kPlastic},  {41, 0x559AB7, 128, 0, Finish::kPlastic},
    {42, 0xC0FF00, 128, 0, Finish::kPlastic},  {43, 0xAEE9EF, 128, 0, Finish::kPlastic},
    {44, 0x96709F, 128, 0, Finish::kPlastic},  {45, 0xFC97AC, 128, 0, Finish::kPlastic},
    {46, 0xF5CD2F, 128, 0, Finish::kPlastic},  {47, 0xFCFCFC, 128, 0, Finish::kPlastic},
    {60, 0x645A4C, 255, 0, Finish::kChrome},   {61, 0x6C96BF, 255, 0, Finish::kChrome},
    {62, 0x3CB371, 255, 0, Finish::kChrome},   {63, 0xAA4D8E, 255, 0, Finish::kChrome},
    {64, 0x1B2A34, 255, 0, Finish::kChrome},   {65, 0xFAC80A, 255, 0, Finish::kRubber},
    {66, 0xF5CD2F, 128, 0, Finish::kRubber},   {67, 0xFCFCFC, 128, 0, Finish::kRubber},
    {70, 0x5F3109, 255, 0, Finish::kPlastic},  {71, 0x969696, 255, 0, Finish::kPlastic},
    {72, 0x646464, 255, 0, Finish::kPlastic},  {73, 0x7396C8, 255, 0, Finish::kPlastic},
    {74, 0x7FC475, 255, 0, Finish::kPlastic},  {78, 0xFFC995, 255, 0, Finish::kPlastic},
    {79, 0xEEEEEE, 240, 0, Finish::kPlastic},  {80, 0x767676, 255, 0, Finish::kMetal},
    {81, 0xC2C06F, 255, 0, Finish::kMetal},    {82, 0xDBAC34, 255, 0, Finish::kMetal},
    {83, 0x0A1327, 255, 0, Finish::kPearl},    {84, 0xAA7D55, 255, 0, Finish::kPlastic},
    {85, 0x441A91, 255, 0, Finish::kPlastic},  {86, 0x7B5D41, 255, 0, Finish::kPlastic},
    {87, 0x3E3C39, 255, 0, Finish::kMetal},    {92, 0xBB805A, 255, 0, Finish::kPlastic},
    {135, 0xA0A0A0, 255, 0, Finish::kPearl},   {137, 0x5B7590, 255, 0, Finish::kPearl},
    {142, 0xDEAC66, 255, 0, Finish::kPearl},   {148, 0x484D48, 255, 0, Finish::kPearl},
    {150, 0x989B99, 255, 0, Finish::kPearl},   {179, 0x898788, 255, 0, Finish::kPearl},
    {183, 0xF6F2DF, 255, 0, Finish::kPearl},   {191, 0xFCAC00, 255, 0, Finish::kPlastic},
    {212, 0x9DC3F7, 255, 0, Finish::kPlastic}, {226, 0xFFEC6C, 255, 0, Finish::kPlastic},
    {256, 0x1B2A34, 255, 0, Finish::kRubber},  {272, 0x19325A, 255, 0, Finish::kPlastic},
    {288, 0x00451A, 255, 0, Finish::kPlastic}, {294, 0xBDC6AD, 240, 15, Finish::kPlastic},
    {297, 0xAA7F2E, 255, 0, Finish::kPearl},   {308, 0x352100, 255, 0, Finish::kPlastic},
    {320, 0x720012, 255, 0, Finish::kPlastic}, {321, 0x469BC3, 255, 0, Finish::kPlastic},
    {322, 0x68C3E2, 255, 0, Finish::kPlastic}, {323, 0xD3F2EA, 255, 0, Finish::kPlastic},
    {326, 0xE2F99A, 255, 0, Finish::kPlastic}, {334, 0xDFC176, 255, 0, Finish::kChrome},
    {378, 0x708E7C, 255, 0, Finish::kPlastic}, {379, 0x70819A, 255, 0, Finish::kPlastic},
    {383, 0xCECECE, 255, 0, Finish::kChrome},  {484, 0x91501C, 255, 0, Finish::kPlastic},
    {494, 0xD0D0D0, 255, 0, Finish::kMetal},   {495, 0xAE7A59, 255, 0, Finish::kMetal},
};

// Words of a line, split at blanks.
std::vector<std::string> words_of(const std::string& line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

bool same_word(const std::string& word, const char* keyword) {
  return strcasecmp(word.c_str(), keyword) == 0;
}

bool read_int(const std::string& word, int32_t& value) {
  const char* end = word.data() + word.size();
  auto r = std::from_chars(word.data(), end, value);
  return r.ec == std::errc() && r.ptr == end;
}

// "#RRGGBB" (also "0xRRGGBB", which some colour files use).
bool read_rgb(const std::string& word, uint32_t& rgb) {
  std::size_t skip = !word.empty() && word[0] == '#' ? 1
                     : (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X'))
                         ? 2
                         : 0;
  if (skip == 0 || word.size() != skip + 6) return false;
  uint32_t v = 0;
  for (std::size_t i = skip; i < word.size(); ++i) {
    char c = word[i];
    int d = c >= '0' && c <= '9'   ? c - '0'
            : c >= 'a' && c <= 'f' ? c - 'a' + 10
            : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                   : -1;
    if (d < 0) return false;
    v = v * 16 + static_cast<uint32_t>(d);
  }
  rgb = v;
  return true;
}

int32_t clamp_byte(int32_t v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

void set_rgb(Appearance& a, uint32_t rgb) {
  a.rgba[0] = ((rgb >> 16) & 0xFF) / 255.0;
  a.rgba[1] = ((rgb >> 8) & 0xFF) / 255.0;
  a.rgba[2] = (rgb & 0xFF) / 255.0;
}

void set3(double* v, double x) { v[0] = v[1] = v[2] = x; }

// Whether folder holds a regular file named name in any case; its path in path.
bool find_in_folder(const std::string& folder, const char* name, std::string& path) {
  std::string base = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  struct stat st;
  if (stat((base + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    path = base + name;
    return true;
  }
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return false;
  std::string found;
  while (dirent* entry = readdir(dir)) {
    if (strcasecmp(entry->d_name, name) != 0) continue;
    std::string candidate = base + entry->d_name;
    // Among several spellings the bytewise smallest wins, so the choice is stable.
    if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        (found.empty() || candidate < found))
      found = candidate;
  }
  closedir(dir);
  if (found.empty()) return false;
  path = found;
  return true;
}

// The folder that holds folder ("/a/ldraw/parts/" gives "/a/ldraw"); empty for a root or a
// bare name.
std::string parent_folder(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  std::size_t slash = folder.rfind('/');
  if (slash == std::string::npos) return folder.empty() || folder == "." ? ".." : ".";
  if (slash == 0) return "/";
  return folder.substr(0, slash);
}

}  // namespace

bool parse_colour_line(const std::string& line, LDrawColour& colour) {
  std::vector<std::string> w = words_of(line);
  if (w.size() < 2 || w[0] != "0" || !same_word(w[1], "!COLOUR")) return false;
  LDrawColour c;
  bool has_code = false, has_value = false;
  // w[2] is the name; the fields follow in any order.
  for (std::size_t i = 3; i < w.size(); ++i) {
    const std::string& word = w[i];
    const bool has_next = i + 1 < w.size();
    if (same_word(word, "MATERIAL")) break;
    if (same_word(word, "CODE") && has_next) {
      has_code = read_int(w[++i], c.code) && c.code >= 0;
    } else if (same_word(word, "VALUE") && has_next) {
      has_value = read_rgb(w[++i], c.rgb);
    } else if (same_word(word, "EDGE") && has_next) {
      ++i;
    } else if (same_word(word, "ALPHA") && has_next) {
      int32_t v;
      if (read_int(w[++i], v)) c.alpha = clamp_byte(v);
    } else if (same_word(word, "LUMINANCE") && has_next) {
      int32_t v;
      if (read_int(w[++i], v)) c.luminance = clamp_byte(v);
    } else if (same_word(word, "CHROME")) {
      c.finish = Finish::kChrome;
    } else if (same_word(word, "METAL") || same_word(word, "MATTE_METALLIC")) {
      c.finish = Finish::kMetal;
    } else if (same_word(word, "PEARLESCENT")) {
      c.finish = Finish::kPearl;
    } else if (same_word(word, "RUBBER")) {
      c.finish = Finish::kRubber;
    }
  }
  if (!has_code || !has_value) return false;
  colour = c;
  return true;
}

Appearance appearance_of(const LDrawColour& colour) {
  Appearance a;
  set_rgb(a, colour.rgb);
  a.rgba[3] = colour.alpha / 255.0;
  Finish finish = colour.finish;
  if (colour.luminance > 0)
    finish = Finish::kGlow;
  else if (finish == Finish::kRubber && colour.alpha < 255)
    finish = Finish::kTransparent;
  else if (finish == Finish::kPlastic && colour.alpha < 255)
    finish = Finish::kTransparent;
  a.finish = finish;
  // The highlight a DirectX material states for such a surface.
  switch (finish) {
    case Finish::kChrome:
      a.specular_power = 64.0;
      set3(a.specular, 1.0);
      break;
    case Finish::kMetal:
      a.specular_power = 16.0;
      set3(a.specular, 0.6);
      break;
    case Finish::kPearl:
      a.specular_power = 24.0;
      set3(a.specular, 0.8);
      break;
    case Finish::kRubber:
      break;
    case Finish::kTransparent:
      a.specular_power = 64.0;
      set3(a.specular, 0.9);
      break;
    case Finish::kGlow:
      a.specular_power = 32.0;
      set3(a.specular, 0.5);
      for (int k = 0; k < 3; ++k) a.emissive[k] = a.rgba[k];
      break;
    case Finish::kPlastic:
    default:
      a.specular_power = 32.0;
      set3(a.specular, 0.5);
      break;
  }
  return a;
}

LDrawColourTable::LDrawColourTable() {
  for (const LDrawColour& c : kBuiltIn) colours_[c.code] = c;
}

bool LDrawColourTable::load_text(const std::string& text) {
  std::map<int32_t, LDrawColour> loaded;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    LDrawColour c;
    if (parse_colour_line(text.substr(pos, end - pos), c)) loaded[c.code] = c;
    pos = end + 1;
  }
  if (loaded.empty()) return false;
  colours_.swap(loaded);
  return true;
}

bool LDrawColourTable::load_file(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  std::string text;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  const bool ok = std::ferror(file) == 0;
  std::fclose(file);
  return ok && load_text(text);
}

bool LDrawColourTable::find(int32_t code, Appearance& appearance) const {
  auto it = colours_.find(code);
  if (it != colours_.end()) {
    appearance = appearance_of(it->second);
    return true;
  }
  const int32_t kind = code >> 24;
  if (code >= 0 && (kind == 2 || kind == 3)) {
    LDrawColour direct;
    direct.rgb = static_cast<uint32_t>(code) & 0xFFFFFFu;
    direct.alpha = kind == 3 ? 128 : 255;
    appearance = appearance_of(direct);
    return true;
  }
  return false;
}

Appearance LDrawColourTable::main_colour() const {
  if (colours_.count(kMainColour) != 0) return appearance_of(colours_.at(kMainColour));
  LDrawColour grey;
  grey.rgb = 0x8A928D;  // light grey, code 7
  if (colours_.count(7) != 0) grey = colours_.at(7);
  return appearance_of(grey);
}

std::string find_colour_file(const std::vector<std::string>& folders) {
  std::string path;
  for (const std::string& folder : folders)
    if (find_in_folder(folder, "LDConfig.ldr", path)) return path;
  return std::string();
}

std::vector<std::string> colour_file_folders(const std::string& search_path,
                                             const std::string& model_file) {
  std::vector<std::string> folders;
  folders.push_back(default_ldraw_folder());
  for (const std::string& folder : split_search_path(search_path))
    folders.push_back(parent_folder(folder));
  std::size_t slash = model_file.rfind('/');
  folders.push_back(slash == std::string::npos ? "." : model_file.substr(0, slash + 1));
  return folders;
}
