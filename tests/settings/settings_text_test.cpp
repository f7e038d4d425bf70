#include "settings/settings_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

// What a section should hold: its values in enumeration order.
using Section = std::vector<std::pair<std::string, std::string>>;

std::string random_text(std::mt19937& random, bool allow_empty) {
  static const std::string alphabet = "aZ _=;[]\"\\\n\r\t\x01\xc3\xa4\xff";
  std::size_t length = random() % 12 + (allow_empty ? 0 : 1);
  std::string text;
  for (std::size_t i = 0; i < length; ++i) text.push_back(alphabet[random() % alphabet.size()]);
  return text;
}

}  // namespace

// Random writes with every character the escapes must carry: after each
// write and a round trip through the text, every section enumerates exactly
// what was written, in order, and lines already present keep their bytes.
TEST(SettingsText, RandomWritesSurviveRoundTripInOrder) {
  std::mt19937 random(4242);
  const std::vector<std::string> sections = {"Settings", "Settings\\extension", "Common Settings",
                                             "a]b", "x\\y\\z"};
  std::vector<Section> model(sections.size());
  settings_text::Store store = settings_text::parse_store("; comment kept\nnot a setting\n");
  for (int step = 0; step < 800; ++step) {
    std::size_t s = random() % sections.size();
    std::string name =
        random() % 4 ? "v" + std::to_string(random() % 6) : random_text(random, true);
    std::string value = random_text(random, true);
    settings_text::create_section(&store, sections[s]);
    settings_text::set_value(&store, sections[s], name, value);
    bool replaced = false;
    for (auto& entry : model[s])
      if (entry.first == name) entry.second = value, replaced = true;
    if (!replaced) model[s].emplace_back(name, value);

    std::string bytes = settings_text::format_store(store);
    ASSERT_EQ(bytes.rfind("; comment kept\nnot a setting\n", 0), 0u);
    store = settings_text::parse_store(bytes);
    ASSERT_EQ(settings_text::format_store(store), bytes);
    for (std::size_t k = 0; k < sections.size(); ++k) {
      Section found;
      for (const settings_text::Line* line : settings_text::section_values(store, sections[k]))
        found.emplace_back(line->name, line->value);
      ASSERT_EQ(found, model[k]) << "section " << sections[k] << " after step " << step;
    }
  }
}
