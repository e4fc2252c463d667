// settings.ini: any file is read without harm; a value written is read back byte for
// byte, and every entry the file held under a key the programs could have written
// (none starts with ';', '#' or '[') survives the write.
#include "fuzz/LfFuzzSupport.h"
#include "platform/SettingsStore.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = lffuzz::WriteScratch("settings.ini", data, size);
    lfplat::SettingsStore store(path);
    const lfplat::SettingsStore::Content before = store.ReadAll();

    const std::string section = "Software\\Lanternfolio\\Version 1.0";
    const std::string value(reinterpret_cast<const char*>(data), size);
    lffuzz::Check(store.Set(section, "FuzzValue", value), "a setting is written");
    lffuzz::Check(store.Get(section, "FuzzValue") == value, "the value written reads back");

    const lfplat::SettingsStore::Content after = store.ReadAll();
    for (const auto& [name, entries] : before) {
        for (const auto& [key, text] : entries) {
            const bool plainKey = key.empty() || (key[0] != ';' && key[0] != '#' && key[0] != '[');
            if (!plainKey || (name == section && key == "FuzzValue"))
                continue;
            const auto s = after.find(name);
            lffuzz::Check(s != after.end() && s->second.count(key) && s->second.at(key) == text,
                          "an entry of the file survives a write of another");
        }
    }
    return 0;
}
