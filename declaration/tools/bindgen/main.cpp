// zep_bindgen: writes the typed binding classes of one document type.
//
//   zep_bindgen <description file> <output folder>
//
// Writes <unit>.h and <unit>.cpp into the output folder; fails with a
// message naming the line when the description is not sound.
#include "BindingModel.h"

#include <fstream>
#include <iostream>
#include <sstream>

namespace {

bool writeFile(const std::string &path, const std::string &text)
{
    // Leave an unchanged file alone so that its users are not rebuilt.
    {
        std::ifstream old(path, std::ios::binary);
        if (old) {
            std::ostringstream ss;
            ss << old.rdbuf();
            if (ss.str() == text)
                return true;
        }
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return bool(out);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::cerr << "usage: zep_bindgen <description file> <output folder>\n";
        return 2;
    }
    const std::string input = argv[1];
    const std::string outDir = argv[2];
    std::ifstream in(input, std::ios::binary);
    if (!in) {
        std::cerr << "zep_bindgen: cannot read " << input << "\n";
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    try {
        const bindgen::Model model = bindgen::parse(text.str(), input);
        const std::string base = outDir + "/" + model.unit;
        if (!writeFile(base + ".h", bindgen::generateHeader(model))
            || !writeFile(base + ".cpp", bindgen::generateSource(model))) {
            std::cerr << "zep_bindgen: cannot write " << base << ".h/.cpp\n";
            return 1;
        }
    } catch (const bindgen::DescriptionError &e) {
        std::cerr << "zep_bindgen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
