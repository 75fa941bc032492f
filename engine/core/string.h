#pragma once

#include <cstdint>

namespace zentac {

// The engine's own growable byte string. `size` counts the terminating NUL,
// so the text length is size - 1.
class String {
public:
    String();
    String(const char* text);
    String(const String& other);
    ~String();

    String& operator=(const char* text);
    String& operator=(const String& other);

    String& operator+=(char c);
    String& operator+=(const String& other);
    friend String operator+(const String& a, const String& b);

    String Mid(int start, int count) const;
    void Resize(int n, bool keep);

    // Exact, or (with exact false) ignoring bit 5 of every byte pair.
    static bool Equal(const String& a, const String& b, bool exact);

    char* Data() { return data_; }
    const char* Data() const { return data_ ? data_ : ""; }
    int Size() const { return size_; }
    int Capacity() const { return capacity_; }
    int Length() const { return size_ > 0 ? size_ - 1 : 0; }

private:
    void append(char c);

    char* data_ = nullptr;
    int32_t capacity_ = 0;
    int32_t size_ = 0;
};

// The text after the last '.' of name; empty without a '.'.
String GetExtension(const String& name);

// First position in text where pattern occurs, comparing with bit 5 set on
// both sides; null when it does not occur.
const char* FindNoCase(const char* text, const char* pattern);

}  // namespace zentac
