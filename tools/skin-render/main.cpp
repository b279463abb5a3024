// skin-render: paints a skin layout into a PNG.
//
//   skin-render [--archive FILE.7z | --folder DIR] --layout NAME --out FILE.png
//               [--page N] [--tab NAME=N] [--set NAME=ATTRIBUTE:VALUE]
//               [--hot NAME] [--pushed NAME] [--focus NAME] [--frame N]
//
// Without --archive or --folder the skin linked into the program is used.
// State options apply in the order given, after the layout is built.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/Resources.h"
#include "platform/Text.h"
#include "tools/skin-render/SkinRenderer.h"

namespace {

int Usage() {
  std::fputs(
      "usage: skin-render [--archive FILE.7z | --folder DIR] --layout NAME --out FILE.png\n"
      "                   [--page N] [--tab NAME=N] [--set NAME=ATTRIBUTE:VALUE]\n"
      "                   [--hot NAME] [--pushed NAME] [--focus NAME] [--frame N]\n",
      stderr);
  return 2;
}

int Fail(const std::wstring& message) {
  std::fprintf(stderr, "skin-render: %s\n", Platform::WideToUtf8(message).c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::pair<std::string, std::string>> options;
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    if (flag.rfind("--", 0) != 0 || i + 1 >= argc) return Usage();
    options.emplace_back(flag, argv[++i]);
  }

  SkinUI::CSkinResources resources;
  std::string layout, out;
  std::vector<std::uint8_t> archive;
  bool haveSource = false;
  for (const auto& [flag, value] : options) {
    if (flag == "--archive") {
      std::ifstream in(value, std::ios::binary);
      if (!in) return Fail(L"cannot read " + Platform::Utf8ToWide(value));
      archive.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      if (!resources.SetResourceArchive(archive)) return Fail(L"not a skin archive: " + Platform::Utf8ToWide(value));
      haveSource = true;
    } else if (flag == "--folder") {
      resources.SetResourcePath(Platform::Utf8ToWide(value));
      haveSource = true;
    } else if (flag == "--layout") {
      layout = value;
    } else if (flag == "--out") {
      out = value;
    }
  }
  if (layout.empty() || out.empty()) return Usage();
  if (!haveSource) {
    const auto skin = Platform::FindResource(Platform::kResourceTypeSkin, 147);
    if (skin.empty() || !resources.SetResourceArchive(skin)) return Fail(L"this program carries no skin");
  }

  SkinRender::CSkinRenderer renderer(resources);
  for (const auto& [flag, value] : options)
    if (flag == "--frame") renderer.SetFrame(std::atoi(value.c_str()));
  if (!renderer.Build(Platform::Utf8ToWide(layout))) return Fail(renderer.Error());

  for (const auto& [flag, raw] : options) {
    const std::wstring value = Platform::Utf8ToWide(raw);
    bool ok = true;
    if (flag == "--page") {
      ok = renderer.SelectPage(std::stoi(value));
    } else if (flag == "--tab" || flag == "--set") {
      const std::size_t eq = value.find(L'=');
      if (eq == std::wstring::npos) return Usage();
      const std::wstring name = value.substr(0, eq), rest = value.substr(eq + 1);
      if (flag == "--tab") {
        ok = renderer.SelectTab(name, std::stoi(rest));
      } else {
        const std::size_t colon = rest.find(L':');
        if (colon == std::wstring::npos) return Usage();
        ok = renderer.Set(name, rest.substr(0, colon), rest.substr(colon + 1));
      }
    } else if (flag == "--hot") {
      ok = renderer.Hover(value);
    } else if (flag == "--pushed") {
      ok = renderer.Press(value);
    } else if (flag == "--focus") {
      ok = renderer.Focus(value);
    } else if (flag != "--archive" && flag != "--folder" && flag != "--layout" && flag != "--out" &&
               flag != "--frame") {
      return Usage();
    }
    if (!ok) return Fail(renderer.Error().empty() ? L"cannot apply " + Platform::Utf8ToWide(flag) : renderer.Error());
  }
  renderer.Paint();
  if (!renderer.WritePng(out)) return Fail(renderer.Error());
  return 0;
}
