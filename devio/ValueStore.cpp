#include "ValueStore.h"

namespace orvane::dravon {

void ResponseRing::Put(std::string text) {
    if (unread_ >= kMaxUnread) return;
    ring_[(start_ + unread_) % kSize] = std::move(text);
    ++unread_;
}

bool ResponseRing::Take(std::string& text) {
    if (unread_ <= 0) return false;
    text = std::move(ring_[start_]);
    ring_[start_].clear();
    --unread_;
    start_ = (start_ + 1) % kSize;
    return true;
}

void KeyTable::Set(std::string_view key, std::string_view value) {
    for (auto& [k, v] : entries_) {
        if (k == key) {
            v.assign(value);
            return;
        }
    }
    if (entries_.size() >= kMaxKeys) return;
    entries_.emplace_back(std::string(key), std::string(value));
}

const std::string* KeyTable::Find(std::string_view key) const {
    for (const auto& [k, v] : entries_)
        if (k == key) return &v;
    return nullptr;
}

bool IsAcceptedKey(std::string_view key) {
    if (key.empty() || key.size() > 32) return false;
    for (const char c : key) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                        c == ' ' || c == ',';
        if (!ok) return false;
    }
    return true;
}

bool FileReply(ResponseRing& responses, KeyTable& keys, std::string_view key, std::string_view value) {
    if (!IsAcceptedKey(key)) return false;
    std::string text;
    text.reserve(key.size() + 1 + value.size());
    text.append(key).append("=").append(value);
    responses.Put(std::move(text));
    keys.Set(key, value);
    return true;
}

namespace {

// A plain integer: an optional sign and at least one digit, nothing else.
bool ToInt(std::string_view s, int& out) {
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    if (i == s.size()) return false;
    int v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        v = v * 10 + (s[i] - '0');
    }
    out = negative ? -v : v;
    return true;
}

} // namespace

float ParseIF(std::string_view value) {
    int whole = 0, hundredths = 0;
    if (!ToInt(value.substr(0, 3), whole)) return 323.0f;
    if (!ToInt(value.size() > 4 ? value.substr(4, 2) : std::string_view{}, hundredths)) return 323.0f;
    return static_cast<float>(whole + hundredths * 0.01);
}

} // namespace orvane::dravon
