// argv_dump FILE ARGS...: writes ARGS to FILE, each followed by a zero byte. The file appears
// complete or not at all (written under another name, then renamed).
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::string final = argv[1];
    std::string part = final + ".part";
    std::FILE* f = std::fopen(part.c_str(), "wb");
    if (!f) return 1;
    for (int i = 2; i < argc; ++i) std::fwrite(argv[i], 1, std::string(argv[i]).size() + 1, f);
    std::fclose(f);
    return std::rename(part.c_str(), final.c_str()) == 0 ? 0 : 1;
}
