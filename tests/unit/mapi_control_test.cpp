// The mail sender's message, built from its properties, and the event its result raises.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "output/mapi_control.h"

namespace {

using output::MailMessage;
using output::TMapiControl;
using Texts = std::vector<std::wstring>;

// A sender whose send function records what it was given and answers `result`.
struct Recorded {
    std::vector<MailMessage> messages;
    std::vector<std::uintptr_t> parents;
    std::uint32_t result = 0;
    TMapiControl::SendFunction function() {
        return [this](const MailMessage& m, std::uintptr_t parent) {
            messages.push_back(m);
            parents.push_back(parent);
            return result;
        };
    }
};

struct RecipientCase {
    const char* what;
    Texts to, cc, bcc;
    std::vector<std::pair<std::uint32_t, std::wstring>> expected;  // class, entry
};

TEST(MapiControl, RecipientsInClassOrderWithSmtpAddresses) {
    const RecipientCase cases[] = {
        {"none", {}, {}, {}, {}},
        {"one To", {L"ann@example.com"}, {}, {}, {{1, L"ann@example.com"}}},
        {"Bcc before Cc before To in the lists, To Cc Bcc in the message",
         {L"t1", L"t2"},
         {L"c1"},
         {L"b1", L"b2"},
         {{1, L"t1"}, {1, L"t2"}, {2, L"c1"}, {3, L"b1"}, {3, L"b2"}}},
        {"only copies", {}, {L"c1", L"c2"}, {L"b1"}, {{2, L"c1"}, {2, L"c2"}, {3, L"b1"}}},
        {"empty entry kept as it is", {L""}, {}, {}, {{1, L""}}},
    };
    for (const RecipientCase& c : cases) {
        SCOPED_TRACE(c.what);
        Recorded rec;
        TMapiControl mail(0x1234, rec.function());
        mail.set_BlindCopyTo(c.bcc);
        mail.set_CopyTo(c.cc);
        mail.set_Recipients(c.to);
        mail.Sendmail();
        ASSERT_EQ(rec.messages.size(), 1u);
        const MailMessage& m = rec.messages[0];
        ASSERT_EQ(m.recipients.size(), c.expected.size());
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_EQ(m.recipients[i].recip_class, c.expected[i].first) << i;
            EXPECT_EQ(m.recipients[i].name, c.expected[i].second) << i;
            EXPECT_EQ(m.recipients[i].address, L"SMTP:" + c.expected[i].second) << i;
        }
        EXPECT_EQ(rec.parents[0], 0x1234u);
    }
}

TEST(MapiControl, MessageFieldsOriginatorAndFlags) {
    for (bool show : {false, true}) {
        Recorded rec;
        TMapiControl mail(7, rec.function());
        mail.set_Subject(L"Report");
        mail.set_Body(L"line one\r\nline two");
        mail.set_FromName(L"Snipquill");
        mail.set_FromAdress(L"me@example.com");
        mail.set_ShowDialog(show);
        mail.set_UseAppHandle(!show);  // stored only: changes nothing
        mail.Sendmail();
        ASSERT_EQ(rec.messages.size(), 1u);
        const MailMessage& m = rec.messages[0];
        EXPECT_EQ(m.subject, L"Report");
        EXPECT_EQ(m.note_text, L"line one\r\nline two");
        EXPECT_EQ(m.message_flags, 0u);
        EXPECT_EQ(m.originator.recip_class, 0u);
        EXPECT_EQ(m.originator.name, L"Snipquill");
        EXPECT_EQ(m.originator.address, L"me@example.com") << "the sender's address has no prefix";
        EXPECT_EQ(m.send_flags, show ? 11u : 0u);
        EXPECT_TRUE(m.files.empty());
        EXPECT_TRUE(m.recipients.empty());
    }
}

struct AttachmentCase {
    Texts paths;
    Texts names;
};

TEST(MapiControl, AttachmentsGetTheirFileNamesAndNoPosition) {
    const AttachmentCase cases[] = {
        {{L"C:\\Temp\\Snipquill.png"}, {L"Snipquill.png"}},
        {{L"C:\\a\\one.png", L"D:\\b\\c\\two.bmp"}, {L"one.png", L"two.bmp"}},
        {{L"Z:/tmp/x/forward.gif", L"bare.jpg", L"E:drive.png"},
         {L"forward.gif", L"bare.jpg", L"drive.png"}},
    };
    for (const AttachmentCase& c : cases) {
        Recorded rec;
        TMapiControl mail(0, rec.function());
        mail.AttachedFiles() = c.paths;
        mail.Sendmail();
        ASSERT_EQ(rec.messages.size(), 1u);
        EXPECT_EQ(mail.DisplayFileName(), c.names);
        const MailMessage& m = rec.messages[0];
        ASSERT_EQ(m.files.size(), c.paths.size());
        for (std::size_t i = 0; i < c.paths.size(); ++i) {
            EXPECT_EQ(m.files[i].path_name, c.paths[i]);
            EXPECT_EQ(m.files[i].file_name, c.names[i]);
            EXPECT_EQ(m.files[i].position, 0xFFFFFFFFu);
            EXPECT_EQ(m.files[i].flags, 0u);
        }
    }
}

TEST(MapiControl, DisplayNamesAreRebuiltAtEachSend) {
    Recorded rec;
    TMapiControl mail(0, rec.function());
    mail.AttachedFiles() = {L"C:\\a\\one.png", L"C:\\a\\two.png"};
    mail.Sendmail();
    mail.AttachedFiles() = {L"C:\\b\\three.png"};
    mail.Sendmail();
    EXPECT_EQ(mail.DisplayFileName(), (Texts{L"three.png"}));
    ASSERT_EQ(rec.messages.size(), 2u);
    ASSERT_EQ(rec.messages[1].files.size(), 1u);
    EXPECT_EQ(rec.messages[1].files[0].file_name, L"three.png");
}

TEST(MapiControl, ListPropertiesCopyOnWriteAndShareOnRead) {
    TMapiControl mail(0, nullptr);
    Texts mine{L"a@example.com"};
    mail.set_Recipients(mine);
    mine.push_back(L"b@example.com");
    EXPECT_EQ(mail.Recipients().size(), 1u) << "writing copies the entries";
    mail.Recipients().push_back(L"c@example.com");
    EXPECT_EQ(mail.Recipients(), (Texts{L"a@example.com", L"c@example.com"}));
}

TEST(MapiControl, ResetEmptiesTextsAndLists) {
    Recorded rec;
    TMapiControl mail(0, rec.function());
    mail.set_Subject(L"s");
    mail.set_Body(L"b");
    mail.set_FromName(L"n");
    mail.set_FromAdress(L"a");
    mail.Recipients() = {L"t"};
    mail.CopyTo() = {L"c"};
    mail.BlindCopyTo() = {L"b"};
    mail.AttachedFiles() = {L"C:\\f.png"};
    mail.Sendmail();
    mail.set_ShowDialog(true);
    mail.Reset();
    EXPECT_TRUE(mail.Subject().empty() && mail.Body().empty() && mail.FromName().empty() &&
                mail.FromAdress().empty());
    EXPECT_TRUE(mail.Recipients().empty() && mail.CopyTo().empty() && mail.BlindCopyTo().empty() &&
                mail.AttachedFiles().empty() && mail.DisplayFileName().empty());
    EXPECT_TRUE(mail.ShowDialog()) << "Reset leaves the switches alone";
}

struct DispatchCase {
    std::uint32_t result;
    const char* expected;  // which event fires: "success", "abort" or "error"
};

TEST(MapiControl, ResultRaisesItsEventOnce) {
    const DispatchCase cases[] = {{0, "success"}, {1, "abort"},          {2, "error"},
                                  {3, "error"},   {11, "error"},         {14, "error"},
                                  {26, "error"},  {0xFFFFFFFFu, "error"}};
    for (const DispatchCase& c : cases) {
        SCOPED_TRACE(c.result);
        Recorded rec;
        rec.result = c.result;
        TMapiControl mail(0, rec.function());
        std::vector<std::string> fired;
        std::optional<std::int32_t> code;
        TMapiControl* sender = nullptr;
        mail.OnSuccess = [&](TMapiControl& s) { fired.push_back("success"), sender = &s; };
        mail.OnUserAbort = [&](TMapiControl& s) { fired.push_back("abort"), sender = &s; };
        mail.OnMapiError = [&](TMapiControl& s, std::int32_t e) {
            fired.push_back("error"), code = e, sender = &s;
        };
        mail.Sendmail();
        EXPECT_EQ(fired, std::vector<std::string>{c.expected});
        EXPECT_EQ(sender, &mail);
        if (fired == std::vector<std::string>{"error"}) {
            EXPECT_EQ(code, static_cast<std::int32_t>(c.result));
        }
    }
}

TEST(MapiControl, UnassignedEventsAndMissingSenderPassSilently) {
    for (std::uint32_t result : {0u, 1u, 2u}) {
        Recorded rec;
        rec.result = result;
        TMapiControl mail(0, rec.function());
        EXPECT_NO_THROW(mail.Sendmail());
    }
    // No way to reach a mail client counts as the user abort.
    TMapiControl mail(0, nullptr);
    int aborts = 0;
    mail.OnUserAbort = [&](TMapiControl&) { ++aborts; };
    mail.Sendmail();
    EXPECT_EQ(aborts, 1);
}

TEST(MapiControl, SendFailureRaisesNoEvent) {
    TMapiControl mail(0, [](const MailMessage&, std::uintptr_t) -> std::uint32_t {
        throw std::runtime_error("mail client crashed");
    });
    mail.Recipients() = {L"a@example.com"};
    int events = 0;
    mail.OnSuccess = [&](TMapiControl&) { ++events; };
    mail.OnUserAbort = [&](TMapiControl&) { ++events; };
    mail.OnMapiError = [&](TMapiControl&, std::int32_t) { ++events; };
    EXPECT_THROW(mail.Sendmail(), std::runtime_error);
    EXPECT_EQ(events, 0);
}

TEST(MailMessages, SayWhatWentWrongAndWhereThePictureIs) {
    const std::pair<std::int32_t, const wchar_t*> cases[] = {
        {2, L"(error 2: general failure)"},
        {3, L"(error 3: logon failure)"},
        {11, L"(error 11: attachment not found)"},
        {14, L"(error 14: unknown recipient)"},
        {25, L"(error 25)"},
        {-5, L"(error -5)"},
    };
    for (const auto& [code, part] : cases) {
        const std::wstring text = output::mail_error_message(code, L"C:\\Temp\\Snipquill.png");
        EXPECT_NE(text.find(part), std::wstring::npos) << code;
        EXPECT_NE(text.find(L"C:\\Temp\\Snipquill.png"), std::wstring::npos) << code;
    }
    const std::wstring none = output::mail_not_installed_message(L"C:\\T\\Snipquill.png");
    EXPECT_NE(none.find(L"No Simple MAPI mail program is installed"), std::wstring::npos);
    EXPECT_NE(none.find(L"C:\\T\\Snipquill.png"), std::wstring::npos);
}

}  // namespace
