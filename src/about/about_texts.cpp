#include "about/about_texts.h"

#include <utility>

namespace about {

AboutTexts about_texts(std::wstring file_version, std::wstring product_name,
                       std::wstring company_name, std::wstring legal_copyright) {
    AboutTexts t;
    t.version = std::move(file_version);
    t.product = product_name.empty() ? kFallbackProduct : std::move(product_name);
    t.company = company_name.empty() ? kFallbackCompany : std::move(company_name);
    t.legal = legal_copyright.empty() ? kFallbackLegal : std::move(legal_copyright);
    return t;
}

std::wstring first_label_text(const AboutTexts& t) {
    return t.product + L"\r\nBy " + t.company + L"\r\n" + t.legal;
}

std::wstring second_label_text(const AboutTexts& t) { return L"Ver. " + t.version; }

}  // namespace about
