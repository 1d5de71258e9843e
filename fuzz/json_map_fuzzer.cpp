// Reads arbitrary bytes as a map document and, when they read, writes labels back as `set`
// does and aborts when what would be saved does not read back to the same layers and legends.
// Crashes, leaks, undefined behaviour, deep recursion and hangs are libFuzzer's to catch.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "document/map_document.h"
#include "fuzz_check.h"
#include "map/legend_entry.h"
#include "quillet/error.h"

namespace {

using quillet::document::MapDocument;

void CompareLayers(const MapDocument& a, const MapDocument& b) {
  CHECK(a.Layers().size() == b.Layers().size());
  for (size_t i = 0; i < a.Layers().size(); ++i) {
    CHECK(a.Layers()[i].name == b.Layers()[i].name);
    CHECK(a.Layers()[i].source.location == b.Layers()[i].source.location);
    CHECK(a.RendererKind(i) == b.RendererKind(i));
    const auto legendA = a.Legend(i);
    const auto legendB = b.Legend(i);
    CHECK(legendA.size() == legendB.size());
    for (size_t k = 0; k < legendA.size(); ++k)
      CHECK(legendA[k].stands == legendB[k].stands);
  }
}

MapDocument Reread(const std::string& text) {
  try {
    return MapDocument::Parse(text, "fuzz/map.json");
  } catch (const quillet::runtime::Error& error) {
    std::fprintf(stderr, "what would be saved does not read back: %s\n",
                 error.Description().c_str());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::optional<MapDocument> read;
  try {
    read.emplace(MapDocument::Parse(text, "fuzz/map.json"));
  } catch (const quillet::runtime::Error&) {
    return 0;
  }
  MapDocument& document = *read;
  CompareLayers(document, Reread(document.Text()));

  // Every layer's labels written back as set writes them, the originals stored once.
  for (size_t i = 0; i < document.Layers().size(); ++i) {
    const auto renderer = document.Renderer(i);
    const std::vector<std::string> labels = quillet::map::RendererLabels(*renderer);
    document.StoreOriginalLabels(i, labels);
    document.StoreLabels(i, *renderer);
  }
  const MapDocument saved = Reread(document.Text());
  CompareLayers(document, saved);
  for (size_t i = 0; i < saved.Layers().size(); ++i) {
    CHECK(quillet::map::RendererLabels(*saved.Renderer(i)) ==
          quillet::map::RendererLabels(*document.Renderer(i)));
    CHECK(saved.OriginalLabels(i) == document.OriginalLabels(i));
  }
  return 0;
}
