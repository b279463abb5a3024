// The six layouts of the skin: written in the framework's XML subset, using
// only its elements and attributes, naming only images the archive holds, and
// carrying every control the windows bind by name.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tests/resources/SkinFiles.h"

namespace {

using TestSupport::EmbeddedSkin;

struct Element {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;
  std::vector<Element> children;

  const std::string* Attribute(std::string_view key) const {
    for (const auto& [k, v] : attributes) {
      if (k == key) return &v;
    }
    return nullptr;
  }
};

// A strict reader of the subset: white space is anything up to U+0020, "<!"
// runs to the next "->", "<?" to the next "?>", names are letters, digits,
// "_" and ":", values are in double quotes, and a "<" inside an element that
// is not "</" starts a child (so a comment must be followed by an element).
class SubsetReader {
 public:
  explicit SubsetReader(std::string_view text) : s_(text) {}

  std::optional<Element> Read() {
    if (s_.starts_with("\xEF\xBB\xBF")) i_ = 3;
    Element root;
    if (!ParseElement(root)) return std::nullopt;
    SkipMarkup();
    if (i_ != s_.size()) return Fail("Text after the root element");
    return root;
  }
  const std::string& error() const { return error_; }

 private:
  std::nullopt_t Fail(std::string message) {
    if (error_.empty()) error_ = message + " at offset " + std::to_string(i_) + ": " + std::string(s_.substr(i_, 40));
    return std::nullopt;
  }
  bool At(std::string_view token) const { return s_.substr(i_).starts_with(token); }
  void SkipWhite() {
    while (i_ < s_.size() && static_cast<unsigned char>(s_[i_]) <= 0x20) ++i_;
  }
  bool SkipMarkup() {
    for (;;) {
      SkipWhite();
      const char* end = At("<!") ? "->" : At("<?") ? "?>" : nullptr;
      if (end == nullptr) return true;
      const auto found = s_.find(end, i_ + 2);
      if (found == std::string_view::npos) return Fail("Unterminated markup declaration"), false;
      i_ = found + 2;
    }
  }
  std::string ReadName() {
    const std::size_t start = i_;
    while (i_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[i_])) || s_[i_] == '_' || s_[i_] == ':')) ++i_;
    return std::string(s_.substr(start, i_ - start));
  }
  static std::string Decode(std::string_view raw) {
    static const std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (std::size_t i = 0; i < raw.size();) {
      bool decoded = false;
      for (const auto& [entity, c] : kEntities) {
        if (raw.substr(i).starts_with(entity)) {
          out += c, i += entity.size(), decoded = true;
          break;
        }
      }
      if (!decoded) out += raw[i++];
    }
    return out;
  }
  bool ParseElement(Element& e) {
    if (!SkipMarkup()) return false;
    if (!At("<")) return Fail("Expected start tag"), false;
    ++i_;
    e.name = ReadName();
    if (e.name.empty()) return Fail("Error parsing element name"), false;
    for (;;) {
      SkipWhite();
      if (At("/>")) {
        i_ += 2;
        return true;
      }
      if (At(">")) break;
      std::string key = ReadName();
      SkipWhite();
      if (key.empty() || !At("=")) return Fail("Error while parsing attributes"), false;
      ++i_;
      SkipWhite();
      if (!At("\"")) return Fail("Expected attribute value"), false;
      const auto close = s_.find('"', i_ + 1);
      if (close == std::string_view::npos) return Fail("Error while parsing attribute string"), false;
      e.attributes.emplace_back(std::move(key), Decode(s_.substr(i_ + 1, close - i_ - 1)));
      i_ = close + 1;
    }
    ++i_;
    for (;;) {
      const auto lt = s_.find('<', i_);
      if (lt == std::string_view::npos) return Fail("Expected end-tag start"), false;
      i_ = lt;
      if (At("</")) break;
      Element child;
      if (!ParseElement(child)) return false;
      e.children.push_back(std::move(child));
    }
    i_ += 2;
    if (ReadName() != e.name) return Fail("Unmatched closing tag"), false;
    SkipWhite();
    if (!At(">")) return Fail("Unmatched closing tag"), false;
    ++i_;
    return true;
  }

  std::string_view s_;
  std::size_t i_ = 0;
  std::string error_;
};

const char* const kLayouts[] = {"mainWnd.xml",   "MessageBox1Wnd.xml", "MessageBox2Wnd.xml",
                                "exitTipWnd.xml", "NetworkTipWnd.xml",  "InstalledPathTipWnd.xml"};

Element LoadLayout(const std::string& name) {
  const auto& files = EmbeddedSkin().files;
  const auto it = files.find(name);
  if (it == files.end()) {
    ADD_FAILURE() << name << " is not in the skin";
    return {};
  }
  SubsetReader reader(it->second);
  auto root = reader.Read();
  if (!root) {
    ADD_FAILURE() << name << ": " << reader.error();
    return {};
  }
  return *root;
}

void Walk(const Element& e, const std::function<void(const Element&)>& visit) {
  visit(e);
  for (const Element& child : e.children) Walk(child, visit);
}

const Element* FindNamed(const Element& root, std::string_view name) {
  const Element* found = nullptr;
  Walk(root, [&](const Element& e) {
    if (const auto* n = e.Attribute("name"); n && *n == name && !found) found = &e;
  });
  return found;
}

// The entry an image attribute names: a plain name or the file='...' pair of
// a description; "\" and "/" both separate folders.
std::string ImageFile(const std::string& description) {
  std::string file = description;
  if (const auto at = description.find("file='"); at != std::string::npos) {
    const auto end = description.find('\'', at + 6);
    file = description.substr(at + 6, end - at - 6);
  }
  std::replace(file.begin(), file.end(), '\\', '/');
  return file;
}

TEST(ResourcesSkinLayout, LayoutsAreWellFormedInTheSubset) {
  const std::set<std::string> elements = {"Window", "Font", "Control", "Label", "Button", "CheckBox", "Edit",
                                          "Progress", "VerticalLayout", "HorizontalLayout", "TabLayout",
                                          "SequenceLabel"};
  for (const char* layout : kLayouts) {
    SCOPED_TRACE(layout);
    const Element root = LoadLayout(layout);
    EXPECT_EQ(root.name, "Window");
    std::set<std::string> names, fonts;
    for (const Element& font : root.children) {
      if (font.name != "Font") continue;
      ASSERT_NE(font.Attribute("id"), nullptr);
      EXPECT_TRUE(fonts.insert(*font.Attribute("id")).second) << "font " << *font.Attribute("id") << " twice";
      EXPECT_EQ(*font.Attribute("name"), "微软雅黑");
    }
    Walk(root, [&](const Element& e) {
      EXPECT_TRUE(elements.count(e.name)) << "unknown element " << e.name;
      std::set<std::string> keys;
      for (const auto& [key, value] : e.attributes) {
        EXPECT_TRUE(keys.insert(key).second) << e.name << " sets " << key << " twice";
        EXPECT_TRUE(std::none_of(key.begin(), key.end(), [](char c) { return std::isupper(static_cast<unsigned char>(c)); }))
            << key;
      }
      if (const auto* name = e.Attribute("name"); name && e.name != "Font") {
        EXPECT_TRUE(names.insert(*name).second) << "name " << *name << " twice";
      }
      if (const auto* font = e.Attribute("font"); font && e.name != "Font") {
        EXPECT_TRUE(fonts.count(*font)) << "font " << *font << " is not defined";
      }
    });
  }
}

TEST(ResourcesSkinLayout, ReadsCommentsAndRejectsWhatTheSubsetRejects) {
  struct Case {
    const char* text;
    const char* error;  // nullptr: reads
  };
  const Case cases[] = {
      {"<?xml version=\"1.0\"?><!-- <Label name=\"x\"/> --><Window a=\"1\"><Control /></Window>", nullptr},
      {"<Window text=\"&lt;&amp;&quot;&apos;&gt; &nbsp;\" />", nullptr},
      {"<Window a='1' />", "Expected attribute value"},
      {"<Window a=\"1 />", "Error while parsing attribute string"},
      {"<Window a />", "Error while parsing attributes"},
      {"<Window><Label></Control></Window>", "Unmatched closing tag"},
      {"<Window><Label>", "Expected end-tag start"},
      {"<Window><Control /><!-- last --></Window>", "Error parsing element name"},
      {"Window />", "Expected start tag"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    SubsetReader reader(c.text);
    const auto root = reader.Read();
    if (c.error == nullptr) {
      EXPECT_TRUE(root) << reader.error();
    } else {
      EXPECT_FALSE(root);
      EXPECT_TRUE(reader.error().starts_with(c.error)) << reader.error();
    }
  }
  EXPECT_EQ(*SubsetReader("<Window text=\"&lt;&amp;&quot;&apos;&gt; &nbsp;\" />").Read()->Attribute("text"),
            "<&\"'> &nbsp;");
}

TEST(ResourcesSkinLayout, ImagesNamedByTheLayoutsExist) {
  // Disabled states are named but deliberately not drawn.
  const std::set<std::string> absent = {"res/common/minbtn4.png", "res/common/closebtn4.png",
                                        "res/common/closebtnM_4.png"};
  const auto& files = EmbeddedSkin().files;
  std::set<std::string> used;
  for (const char* layout : kLayouts) {
    SCOPED_TRACE(layout);
    Walk(LoadLayout(layout), [&](const Element& e) {
      for (const auto& [key, value] : e.attributes) {
        if (key == "sequencebkimage") {
          const int count = std::stoi(*e.Attribute("sequencecount"));
          for (int i = 0; i < count; ++i) {
            char frame[260];
            std::snprintf(frame, sizeof frame, ImageFile(value).c_str(), i);
            EXPECT_TRUE(files.count(frame)) << frame;
            used.insert(frame);
          }
        } else if (key.ends_with("image")) {
          const std::string file = ImageFile(value);
          if (absent.count(file)) continue;
          EXPECT_TRUE(files.count(file)) << key << "=\"" << value << "\"";
          used.insert(file);
        }
      }
    });
  }
  // And every image of the archive is used by some layout, except the
  // backgrounds the main window sets per page.
  const std::set<std::string> setByWindow = {"res/mainWnd/bg2.png", "res/mainWnd/bg3.png", "res/mainWnd/bg4.png"};
  for (const auto& [name, data] : files) {
    if (name.ends_with(".png") && !setByWindow.count(name)) {
      EXPECT_TRUE(used.count(name)) << name << " is never used";
    }
  }
}

struct Bound {
  const char* layout;
  const char* name;
  const char* element;
};

// The controls the windows look up by name, with the class they expect.
const Bound kBound[] = {
    {"mainWnd.xml", "winCtn", "VerticalLayout"},
    {"mainWnd.xml", "titleTabLt", "TabLayout"},
    {"mainWnd.xml", "mainTabLt", "TabLayout"},
    {"mainWnd.xml", "titleGrpCtn", "HorizontalLayout"},
    {"mainWnd.xml", "minbtn", "Button"},
    {"mainWnd.xml", "closebtn", "Button"},
    {"mainWnd.xml", "backBtn", "Button"},
    {"mainWnd.xml", "defaultInstallBtn", "Button"},
    {"mainWnd.xml", "customeBtn", "Button"},
    {"mainWnd.xml", "tipLbl", "Label"},
    {"mainWnd.xml", "treatyCb", "CheckBox"},
    {"mainWnd.xml", "treatyBtn", "CheckBox"},
    {"mainWnd.xml", "installDirEdit", "Edit"},
    {"mainWnd.xml", "chDirBtn", "Button"},
    {"mainWnd.xml", "createDSCb", "CheckBox"},
    {"mainWnd.xml", "createQSCb", "CheckBox"},
    {"mainWnd.xml", "customeInstallBtn", "Button"},
    {"mainWnd.xml", "progressAnLb", "SequenceLabel"},
    {"mainWnd.xml", "progressLb", "Label"},
    {"mainWnd.xml", "installPrg", "Progress"},
    {"mainWnd.xml", "openProduceBtn", "Button"},
    {"MessageBox1Wnd.xml", "captionLbl", "Label"},
    {"MessageBox1Wnd.xml", "textLbl", "Label"},
    {"MessageBox1Wnd.xml", "closebtn", "Button"},
    {"MessageBox2Wnd.xml", "captionLbl", "Label"},
    {"MessageBox2Wnd.xml", "textLbl", "Label"},
    {"MessageBox2Wnd.xml", "closebtn", "Button"},
    {"exitTipWnd.xml", "okBtn", "Button"},
    {"exitTipWnd.xml", "cancelBtn", "Button"},
    {"exitTipWnd.xml", "closebtn", "Button"},
    {"NetworkTipWnd.xml", "okBtn", "Button"},
    {"NetworkTipWnd.xml", "cancelBtn", "Button"},
    {"NetworkTipWnd.xml", "closebtn", "Button"},
    {"InstalledPathTipWnd.xml", "okBtn", "Button"},
    {"InstalledPathTipWnd.xml", "cancelBtn", "Button"},
    {"InstalledPathTipWnd.xml", "closebtn", "Button"},
};

TEST(ResourcesSkinLayout, BoundControlsExist) {
  std::map<std::string, Element> layouts;
  for (const char* layout : kLayouts) layouts[layout] = LoadLayout(layout);
  for (const Bound& b : kBound) {
    SCOPED_TRACE(std::string(b.layout) + " " + b.name);
    const Element* e = FindNamed(layouts[b.layout], b.name);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->name, b.element);
  }
  // The main window binds these names but works without them; the layout
  // leaves them out.
  for (const char* name : {"serviceCb", "ableftBtn", "abrightBtn", "finishedLbl", "softNameLbl", "installLogo",
                           "languageCombo", "bTitleLbl1", "bTitleLbl2", "bTitleLbl3"}) {
    EXPECT_EQ(FindNamed(layouts["mainWnd.xml"], name), nullptr) << name;
  }
}

struct Setting {
  const char* layout;
  const char* name;  // "" for the root element
  const char* attribute;
  const char* value;
};

// Attributes the windows' behaviour depends on.
const Setting kSettings[] = {
    {"mainWnd.xml", "", "size", "600,400"},
    {"mainWnd.xml", "", "caption", "0,0,0,35"},
    {"mainWnd.xml", "", "showshadow", "true"},
    {"mainWnd.xml", "", "shadowcolor", "#26003B76"},
    {"mainWnd.xml", "winCtn", "bkimage", "res\\mainWnd\\bg1.png"},
    {"mainWnd.xml", "backBtn", "visible", "false"},
    {"mainWnd.xml", "tipLbl", "visible", "false"},
    {"mainWnd.xml", "treatyCb", "selected", "true"},
    {"mainWnd.xml", "treatyBtn", "selected", "true"},
    {"mainWnd.xml", "createDSCb", "selected", "true"},
    {"mainWnd.xml", "createQSCb", "selected", "true"},
    {"mainWnd.xml", "customeBtn", "text", "自定义安装"},
    {"mainWnd.xml", "progressAnLb", "sequencebkimage", "res\\mainWnd\\installBtnAnimate\\%.3d.png"},
    {"mainWnd.xml", "progressAnLb", "sequencecount", "25"},
    {"mainWnd.xml", "progressAnLb", "sequencespan", "30"},
    {"mainWnd.xml", "progressAnLb", "sequenceround", "false"},
    {"mainWnd.xml", "progressAnLb", "autostart", "true"},
    {"mainWnd.xml", "progressLb", "text", "正在安装中:0%，请稍候..."},
    {"MessageBox1Wnd.xml", "", "size", "360,180"},
    {"MessageBox1Wnd.xml", "captionLbl", "text", "CAPTION"},
    {"MessageBox1Wnd.xml", "textLbl", "text", "TEXT"},
    {"MessageBox1Wnd.xml", "textLbl", "multiline", "true"},
    {"MessageBox2Wnd.xml", "", "size", "360,180"},
    {"MessageBox2Wnd.xml", "captionLbl", "text", "CAPTION"},
    {"MessageBox2Wnd.xml", "textLbl", "text", "TEXT"},
    {"exitTipWnd.xml", "", "size", "360,180"},
    {"exitTipWnd.xml", "okBtn", "text", "是"},
    {"exitTipWnd.xml", "cancelBtn", "text", "否"},
    {"NetworkTipWnd.xml", "", "size", "360,180"},
    {"NetworkTipWnd.xml", "okBtn", "text", "重新安装"},
    {"NetworkTipWnd.xml", "cancelBtn", "text", "稍后再试"},
    {"InstalledPathTipWnd.xml", "", "size", "400,180"},
    {"InstalledPathTipWnd.xml", "", "shadowdarkness", "10"},
    {"InstalledPathTipWnd.xml", "", "shadowcolor", "#FFEDF0F4"},
    {"InstalledPathTipWnd.xml", "okBtn", "text", "安装最新版本"},
    {"InstalledPathTipWnd.xml", "cancelBtn", "text", "打开软件"},
};

TEST(ResourcesSkinLayout, ControlsCarryTheirSettings) {
  std::map<std::string, Element> layouts;
  for (const char* layout : kLayouts) layouts[layout] = LoadLayout(layout);
  for (const Setting& s : kSettings) {
    SCOPED_TRACE(std::string(s.layout) + " " + s.name + " " + s.attribute);
    const Element* e = *s.name ? FindNamed(layouts[s.layout], s.name) : &layouts[s.layout];
    ASSERT_NE(e, nullptr);
    ASSERT_NE(e->Attribute(s.attribute), nullptr);
    EXPECT_EQ(*e->Attribute(s.attribute), s.value);
  }
  // Pages: the title tab holds the back button on its page 1; the main tab has
  // the four pages in order, the animation on page 2.
  const Element* title = FindNamed(layouts["mainWnd.xml"], "titleTabLt");
  ASSERT_EQ(title->children.size(), 3u);
  EXPECT_NE(FindNamed(title->children[1], "backBtn"), nullptr);
  const Element* pages = FindNamed(layouts["mainWnd.xml"], "mainTabLt");
  ASSERT_EQ(pages->children.size(), 4u);
  EXPECT_NE(FindNamed(pages->children[0], "defaultInstallBtn"), nullptr);
  EXPECT_NE(FindNamed(pages->children[1], "customeInstallBtn"), nullptr);
  EXPECT_NE(FindNamed(pages->children[2], "progressAnLb"), nullptr);
  EXPECT_NE(FindNamed(pages->children[3], "openProduceBtn"), nullptr);
}

}  // namespace
