// consumer MAP LAYER EXPRESSION: prints one label per legend entry of the layer, as
// `quillet labels` does, through the installed headers and libraries only.
#include <quillet/map_file.h>
#include <quillet/quillet.h>

#include <iostream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: consumer MAP LAYER EXPRESSION\n";
    return 2;
  }
  try {
    const auto map = quillet::MapFile::Open(argv[1]);
    quillet::Quillet labeler(map->Platform());
    std::string expression = argv[3];
    if (!labeler.MakeLabels(map->OpenLayer(argv[2]), expression)) {
      std::cerr << labeler.Message() << '\n';
      return 1;
    }
    for (const std::string& label : *labeler.Labels())
      std::cout << label << '\n';
    return 0;
  } catch (const quillet::runtime::Error& error) {
    std::cerr << error.Description() << '\n';
    return 2;
  }
}
