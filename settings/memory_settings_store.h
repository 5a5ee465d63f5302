#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "settings/settings_store.h"

namespace korvane {

// A settings key kept in memory, answering reads as the registry does: a value larger than
// the reader's buffer is not read at all. The simulator runs on it, and tests seed it with
// whatever stored data they need.
class MemorySettingsStore : public SettingsStore {
  public:
    struct StoredValue {
        StoredType type = StoredType::kOther;
        std::vector<unsigned char> data;
    };

    std::unique_ptr<SettingsKey> OpenExisting() override;
    std::unique_ptr<SettingsKey> CreateOrOpen() override;

    void PutDword(const std::string& name, std::uint32_t value);
    void PutText(const std::string& name, std::string_view text);
    void PutRaw(const std::string& name, StoredType type, std::vector<unsigned char> data);

    bool keyExists = false;
    bool keyCreatable = true;  // false plays a key that may not be created
    // Writes of these names fail and store nothing, as a value the registry refuses.
    std::set<std::string> refusedWrites;
    std::map<std::string, StoredValue> values;
    std::vector<std::string> writeOrder;  // the names in the order they were written
};

}  // namespace korvane
