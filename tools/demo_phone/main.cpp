// kavrin-demo-phone ROOT [--bundle DIR]: writes a complete demo phone into ROOT.

#include "demo_phone.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    std::filesystem::path root, bundle = kavrin::tooling::builtBundleFolder();
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--bundle" && i + 1 < argc)
            bundle = argv[++i];
        else if (root.empty() && !argument.empty() && argument.front() != '-')
            root = argument;
        else {
            root.clear();
            break;
        }
    }
    if (root.empty()) {
        std::fprintf(stderr, "usage: kavrin-demo-phone ROOT [--bundle DIR]\n");
        return 2;
    }
    std::string error;
    if (!kavrin::tooling::writeDemoPhone(root, bundle, error)) {
        std::fprintf(stderr, "kavrin-demo-phone: %s\n", error.c_str());
        return 1;
    }
    std::printf("wrote a demo phone in %s\n", root.c_str());
    return 0;
}
