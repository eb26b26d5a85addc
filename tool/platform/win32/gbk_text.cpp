#include "gbk_text.h"

#include "platform.h"
#include "utf16.h"

namespace {

constexpr UINT kGbkCodePage = 936;

}  // namespace

// A character GBK lacks becomes the code page's default character.
std::optional<std::string> ToGbk(const CString& text) {
    const std::wstring wide = Widen(text.str());
    if (wide.empty()) {
        return std::string();
    }
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(kGbkCodePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(kGbkCodePage, 0, wide.data(), size, bytes.data(), length, nullptr, nullptr);
    return bytes;
}
