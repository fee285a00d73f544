#include "output/save_format.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <string_view>

using namespace snipquill;

namespace {

// Checked against the literal texts the dialog shows, not the code's own constant: the bitmap
// pattern is upper case, "*.BMP".
TEST(SaveFilters, TableHoldsTheDialogsTextsAndCompletion) {
    struct Row {
        const wchar_t* description;
        const wchar_t* pattern;
        const wchar_t* added;
    };
    const Row rows[] = {
        {L"Windows Bitmap (*.bmp)", L"*.BMP", L".bmp"}, {L"Jpeg Files (*.jpg)", L"*.jpg", L".jpg"},
        {L"GIF Files (*.gif)", L"*.gif", L".gif"},      {L"PNG Files (*.png)", L"*.png", L".png"},
        {L"All Files (*.*)", L"*.*", L".bmp"},
    };
    const auto filters = save_filters();
    ASSERT_EQ(filters.size(), std::size(rows));
    for (std::size_t i = 0; i < filters.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "filter " << i + 1);
        EXPECT_EQ(filters[i].description, rows[i].description);
        EXPECT_EQ(filters[i].pattern, rows[i].pattern);
        EXPECT_EQ(filters[i].bare_name_extension, rows[i].added);
    }
    EXPECT_EQ(std::wstring_view(kSaveFilter),
              L"Windows Bitmap (*.bmp)|*.BMP|Jpeg Files (*.jpg)|*.jpg|GIF Files (*.gif)|*.gif|"
              L"PNG Files (*.png)|*.png|All Files (*.*)|*.*");
}

TEST(SaveFilters, DialogFormHasTenNulTerminatedFieldsAndAnEmptyOne) {
    const std::wstring text = dialog_filter_text();
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), std::wstring(2, L'\0'));
    std::size_t fields = 0, start = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == L'\0') {
            EXPECT_GT(i, start) << "empty field at " << i;
            ++fields;
            start = i + 1;
        }
    EXPECT_EQ(fields, 10u);
    EXPECT_EQ(std::wstring(text.c_str()), L"Windows Bitmap (*.bmp)");
}

TEST(SaveFilters, DefaultExtensionHasNoDot) {
    EXPECT_EQ(dialog_default_extension(kInitialSaveExt), L"BMP");
    EXPECT_EQ(dialog_default_extension(L".png"), L"png");
    EXPECT_EQ(dialog_default_extension(L""), L"bmp");
    EXPECT_EQ(dialog_default_extension(L"."), L"bmp");
}

TEST(ExtensionOf, LastDotAfterTheLastSeparator) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\pics\\shot.png", L".png"},
        {L"C:\\pics\\shot.tar.GZ", L".GZ"},
        {L"C:\\pics.v2\\shot", L""},
        {L"Z:/tmp/pics.v2/shot", L""},
        {L"C:\\pics\\shot.", L"."},
        {L"C:\\pics\\.png", L".png"},
        {L"shot.jpeg", L".jpeg"},
        {L"C:shot", L""},
        {L"", L""},
    };
    for (const auto& [name, ext] : cases) EXPECT_EQ(extension_of(name), ext) << name;
}

TEST(CompleteName, BareNamesGetTheirFilterExtension) {
    const std::pair<int, const wchar_t*> cases[] = {
        {1, L"C:\\p\\shot.bmp"}, {2, L"C:\\p\\shot.jpg"},  {3, L"C:\\p\\shot.gif"},
        {4, L"C:\\p\\shot.png"}, {5, L"C:\\p\\shot.bmp"},  {0, L"C:\\p\\shot.bmp"},
        {6, L"C:\\p\\shot.bmp"}, {-1, L"C:\\p\\shot.bmp"},
    };
    for (const auto& [index, expected] : cases)
        EXPECT_EQ(complete_name(L"C:\\p\\shot", index), expected) << "filter " << index;
    // Any extension at all, even one we cannot write, is left alone.
    EXPECT_EQ(complete_name(L"C:\\p\\shot.tif", 3), L"C:\\p\\shot.tif");
    EXPECT_EQ(complete_name(L"C:\\p.d\\shot.PNG", 1), L"C:\\p.d\\shot.PNG");
    EXPECT_EQ(complete_name(L"C:\\p.d\\shot", 4), L"C:\\p.d\\shot.png");
}

TEST(FormatForExtension, FourFormatsInAnyCaseAndNothingElse) {
    const std::pair<const wchar_t*, std::optional<ImageFormat>> cases[] = {
        {L".bmp", ImageFormat::Bmp},  {L".BMP", ImageFormat::Bmp},   {L".jpg", ImageFormat::Jpeg},
        {L".JpG", ImageFormat::Jpeg}, {L".jpeg", ImageFormat::Jpeg}, {L".JPEG", ImageFormat::Jpeg},
        {L".gif", ImageFormat::Gif},  {L".Gif", ImageFormat::Gif},   {L".png", ImageFormat::Png},
        {L".PNG", ImageFormat::Png},  {L".tif", std::nullopt},       {L".jpe", std::nullopt},
        {L".pngx", std::nullopt},     {L"png", std::nullopt},        {L".", std::nullopt},
        {L"", std::nullopt},          {L".bmp ", std::nullopt},
    };
    for (const auto& [ext, format] : cases) EXPECT_EQ(format_for_extension(ext), format) << ext;
}

TEST(SavedExtension, LowerCaseThreeLetterNames) {
    EXPECT_EQ(saved_extension(ImageFormat::Bmp), L".bmp");
    EXPECT_EQ(saved_extension(ImageFormat::Jpeg), L".jpg");
    EXPECT_EQ(saved_extension(ImageFormat::Gif), L".gif");
    EXPECT_EQ(saved_extension(ImageFormat::Png), L".png");
    EXPECT_FALSE(records_extension_before_write(ImageFormat::Bmp));
    EXPECT_TRUE(records_extension_before_write(ImageFormat::Png));
}

TEST(UnsupportedExtension, MessageNamesTheFileAndTheFourTypes) {
    const std::wstring text = unsupported_extension_message(L"C:\\p\\shot.tif");
    for (const wchar_t* part : {L".bmp", L".jpg", L".gif", L".png", L"C:\\p\\shot.tif"})
        EXPECT_NE(text.find(part), std::wstring::npos) << part;
}

}  // namespace
