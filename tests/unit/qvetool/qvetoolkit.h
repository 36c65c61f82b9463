// Runs qvetool in-process on real files in a fresh temporary folder.
#ifndef TKP_TESTS_QVETOOLKIT_H
#define TKP_TESTS_QVETOOLKIT_H

#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "commands.h"
#include "skinbuilder.h"
#include "skinformat.h"

struct ToolRun {
    int code;
    std::string out, err;
};

inline ToolRun Qvetool(const std::vector<std::string> &arguments)
{
    Console console;
    int code = RunQvetool(arguments, &console);
    return ToolRun{code, console.out, console.err};
}

class Scratch {
public:
    Scratch()
    {
        char pattern[] = "/tmp/qvetool-test-XXXXXX";
        folder_ = mkdtemp(pattern);
    }
    ~Scratch() { system(("rm -rf '" + folder_ + "'").c_str()); }
    std::string path(const std::string &name) const { return folder_ + "/" + name; }
    std::string write(const std::string &name, const skintest::Bytes &bytes) const
    {
        std::ofstream(path(name), std::ios::binary).write((const char *)bytes.data(), (std::streamsize)bytes.size());
        return path(name);
    }
    skintest::Bytes read(const std::string &name) const
    {
        std::ifstream file(path(name), std::ios::binary);
        return skintest::Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    bool exists(const std::string &name) const { return access(path(name).c_str(), F_OK) == 0; }
    // Names in the folder, to prove nothing (no temporary either) was left.
    std::vector<std::string> names() const;

private:
    std::string folder_;
};

#include <dirent.h>

inline std::vector<std::string> Scratch::names() const
{
    std::vector<std::string> found;
    DIR *dir = opendir(folder_.c_str());
    while (dirent *entry = dir ? readdir(dir) : NULL)
        if (entry->d_name[0] != '.')
            found.push_back(entry->d_name);
    if (dir)
        closedir(dir);
    return found;
}

// The BMP file inside a skin image (everything after the 1077-byte header).
inline skintest::Bytes PictureOf(const skintest::Bytes &skin)
{
    return skintest::Bytes(skin.begin() + 1077, skin.end());
}

#endif
