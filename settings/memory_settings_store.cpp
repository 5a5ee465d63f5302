#include "settings/memory_settings_store.h"

#include <algorithm>
#include <cstring>

namespace korvane {
namespace {

class MemorySettingsKey : public SettingsKey {
  public:
    explicit MemorySettingsKey(MemorySettingsStore& store) : store_(store) {}

    StoredValueRead Read(const char* name, std::span<unsigned char> buffer) override {
        const auto found = store_.values.find(name);
        if (found == store_.values.end()) {
            return {};
        }
        const MemorySettingsStore::StoredValue& value = found->second;
        if (value.data.size() > buffer.size()) {
            return {false, value.type, value.data.size()};
        }
        std::copy(value.data.begin(), value.data.end(), buffer.begin());
        return {true, value.type, value.data.size()};
    }

    bool WriteDword(const char* name, std::uint32_t value) override {
        if (store_.refusedWrites.contains(name)) {
            return false;
        }
        store_.PutDword(name, value);
        store_.writeOrder.emplace_back(name);
        return true;
    }

    bool WriteText(const char* name, std::string_view text) override {
        if (store_.refusedWrites.contains(name)) {
            return false;
        }
        store_.PutText(name, text);
        store_.writeOrder.emplace_back(name);
        return true;
    }

  private:
    MemorySettingsStore& store_;
};

}  // namespace

std::unique_ptr<SettingsKey> MemorySettingsStore::OpenExisting() {
    if (!keyExists) {
        return nullptr;
    }
    return std::make_unique<MemorySettingsKey>(*this);
}

std::unique_ptr<SettingsKey> MemorySettingsStore::CreateOrOpen() {
    if (!keyExists && !keyCreatable) {
        return nullptr;
    }
    keyExists = true;
    return std::make_unique<MemorySettingsKey>(*this);
}

void MemorySettingsStore::PutDword(const std::string& name, std::uint32_t value) {
    std::vector<unsigned char> data(sizeof value);
    std::memcpy(data.data(), &value, sizeof value);
    PutRaw(name, StoredType::kDword, std::move(data));
}

void MemorySettingsStore::PutText(const std::string& name, std::string_view text) {
    PutRaw(name, StoredType::kText, std::vector<unsigned char>(text.begin(), text.end()));
}

void MemorySettingsStore::PutRaw(const std::string& name, StoredType type,
                                 std::vector<unsigned char> data) {
    keyExists = true;
    values[name] = StoredValue{type, std::move(data)};
}

}  // namespace korvane
