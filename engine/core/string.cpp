#include "engine/core/string.h"

#include <algorithm>
#include <cstring>

namespace zentac {

String::String() : data_(new char[4]), capacity_(4), size_(1) {
    data_[0] = '\0';
}

String::String(const char* text) {
    for (const char* p = text; *p; ++p) append(*p);
    append('\0');
}

String::String(const String& other) : capacity_(other.size_), size_(other.size_) {
    if (size_ > 0) {
        data_ = new char[size_];
        std::memcpy(data_, other.data_, size_);
    }
}

String::~String() { delete[] data_; }

String& String::operator=(const char* text) {
    // Reuses the buffer, so the capacity never shrinks on assignment.
    size_ = 0;
    for (const char* p = text; *p; ++p) append(*p);
    append('\0');
    return *this;
}

String& String::operator=(const String& other) {
    if (this == &other) return *this;
    if (other.size_ != capacity_) {
        delete[] data_;
        data_ = other.size_ > 0 ? new char[other.size_] : nullptr;
        capacity_ = other.size_;
    }
    size_ = other.size_;
    if (size_ > 0) std::memcpy(data_, other.data_, size_);
    return *this;
}

void String::append(char c) {
    if (size_ >= capacity_) {
        if (capacity_ == 0) {
            delete[] data_;
            data_ = new char[4];
            capacity_ = 4;
        } else {
            std::size_t grown = static_cast<std::size_t>(static_cast<uint32_t>(capacity_)) * 2;
            char* bigger = new char[grown];
            std::memcpy(bigger, data_, std::min(static_cast<std::size_t>(size_), grown));
            delete[] data_;
            data_ = bigger;
            capacity_ = static_cast<int32_t>(grown);
        }
    }
    data_[size_++] = c;
}

String& String::operator+=(char c) {
    // Keeps the text NUL-terminated: the character goes over the NUL.
    if (size_ > 0) {
        data_[size_ - 1] = c;
        append('\0');
    } else {
        append(c);
        append('\0');
    }
    return *this;
}

String& String::operator+=(const String& other) {
    int length = other.Length();
    if (size_ == 0) {
        Resize(length > 0 ? 2 * length + 1 : 1, false);
        size_ = 1;
        data_[0] = '\0';
    } else if (length + size_ >= capacity_) {
        int keepSize = size_;
        Resize(length + 2 * capacity_, true);
        size_ = keepSize;
    }
    std::memcpy(data_ + size_ - 1, other.Data(), length);
    data_[size_ - 1 + length] = '\0';
    size_ += length;
    return *this;
}

String operator+(const String& a, const String& b) {
    int lengthA = a.Length();
    int lengthB = b.Length();
    String result;
    result.Resize(lengthA + lengthB + 1, false);
    std::memcpy(result.data_, a.Data(), lengthA);
    std::memcpy(result.data_ + lengthA, b.Data(), lengthB);
    result.data_[lengthA + lengthB] = '\0';
    return result;
}

String String::Mid(int start, int count) const {
    int length = Length();
    String result;
    if (start < 0 || start >= length || count <= 0) return result;
    count = std::min(count, length - start);
    result.Resize(count + 1, false);
    std::memcpy(result.data_, data_ + start, count);
    result.data_[count] = '\0';
    return result;
}

void String::Resize(int n, bool keep) {
    if (n == capacity_) {
        size_ = n;
        return;
    }
    char* fresh = n > 0 ? new char[n] : nullptr;
    if (keep && data_ && fresh) std::memcpy(fresh, data_, std::min(size_, n));
    delete[] data_;
    data_ = fresh;
    capacity_ = n;
    size_ = n;
}

bool String::Equal(const String& a, const String& b, bool exact) {
    int length = a.Length();
    if (length != b.Length()) return false;
    const unsigned char* pa = reinterpret_cast<const unsigned char*>(a.Data());
    const unsigned char* pb = reinterpret_cast<const unsigned char*>(b.Data());
    for (int i = 0; i < length; ++i) {
        if (exact ? pa[i] != pb[i] : ((pa[i] ^ pb[i]) & 0xDF) != 0) return false;
    }
    return true;
}

String GetExtension(const String& name) {
    const char* text = name.Data();
    for (int i = name.Length() - 1; i >= 0; --i) {
        if (text[i] == '.') return String(text + i + 1);
    }
    return String();
}

const char* FindNoCase(const char* text, const char* pattern) {
    for (const char* start = text; *start; ++start) {
        int i = 0;
        while (pattern[i] && start[i] && (pattern[i] | 0x20) == (start[i] | 0x20)) ++i;
        if (!pattern[i]) return start;
    }
    return *pattern ? nullptr : text;
}

}  // namespace zentac
