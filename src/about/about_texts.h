// The About box's texts from the program's version block, with their fallbacks.
#pragma once

#include <string>

namespace about {

inline constexpr wchar_t kFallbackProduct[] = L"Snipquill";
inline constexpr wchar_t kFallbackCompany[] = L"Orvane Software";
inline constexpr wchar_t kFallbackLegal[] = L"All rights reserved by the makers.";

// What the box keeps from the version block; the fallbacks stand for empty values.
struct AboutTexts {
    std::wstring version;  // no fallback
    std::wstring product;
    std::wstring company;
    std::wstring legal;
};

AboutTexts about_texts(std::wstring file_version, std::wstring product_name,
                       std::wstring company_name, std::wstring legal_copyright);

// The first block: product, "By " company and the legal line on three lines.
std::wstring first_label_text(const AboutTexts& t);
// The second block: "Ver. " and the version.
std::wstring second_label_text(const AboutTexts& t);

}  // namespace about
