#pragma once
// What a slot keeps of its device's replies: the response ring that the host
// drains in arrival order, the key table that it looks values up in, and the
// last reported IF.
#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvane::dravon {

class ResponseRing {
public:
    static constexpr int kSize = 100;
    static constexpr int kMaxUnread = 91;

    // Drops the text when 91 are unread.
    void Put(std::string text);
    // The oldest unread text; false when none is unread.
    bool Take(std::string& text);
    // Forgets the unread texts; the ring start stays.
    void ClearUnread() { unread_ = 0; }
    int Unread() const { return unread_; }

private:
    std::array<std::string, kSize> ring_;
    int start_ = 0;
    int unread_ = 0;
};

class KeyTable {
public:
    static constexpr size_t kMaxKeys = 1024;

    // Replaces a known key's value, else appends; a full table only refuses
    // new keys.
    void Set(std::string_view key, std::string_view value);
    // The value of the key (exact, case-sensitive), or null.
    const std::string* Find(std::string_view key) const;
    void Clear() { entries_.clear(); }
    size_t Size() const { return entries_.size(); }

private:
    std::vector<std::pair<std::string, std::string>> entries_;
};

// 1 to 32 letters, digits, blanks or commas.
bool IsAcceptedKey(std::string_view key);

// Files a frame whose key is accepted: its key "=" value as a response, and
// its value under its key. False when the key is not accepted.
bool FileReply(ResponseRing& responses, KeyTable& keys, std::string_view key, std::string_view value);

// The IF of an "IF" frame: the integer of the first three characters plus
// the integer of characters 5 and 6 as hundredths; 323 when either is no
// integer.
float ParseIF(std::string_view value);

} // namespace orvane::dravon
