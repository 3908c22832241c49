#include "core/settings/ini_document.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "core/settings/ini_update.h"

namespace korvane {
namespace {

struct LookupCase {
    const wchar_t* text;
    const wchar_t* section;
    const wchar_t* key;
    std::wstring expected;
};

void ExpectLookup(const LookupCase& c)
{
    const IniDocument document{std::wstring(c.text)};
    EXPECT_EQ(GetIniString(document, c.section, c.key), c.expected) << c.text << " / " << c.section << " / " << c.key;
}

// What GetPrivateProfileStringA answers for these lines; the platform tests compare the two on generated files.
TEST(GetIniString, ReadsValuesTheWayTheProfileApiDoes)
{
    const LookupCase cases[] = {
        {L"[S]\r\nk=v\r\n", L"S", L"k", L"v"},
        {L"[SourceList]\r\nSource1=a|b\r\n", L"sourcelist", L"SOURCE1", L"a|b"},
        {L"  [ S ]  \r\n  k  =  v w  \r\n", L"S", L"k", L"v w"},
        {L"[S]\r\n\tk\t=\t\"quoted\"\t\r\n", L" S ", L" k ", L"quoted"},
        {L"[S]\r\nk=\" spaced \"\r\n", L"S", L"k", L" spaced "},
        {L"[S]\r\nk='x'\r\n", L"S", L"k", L"x"},
        {L"[S]\r\nk=\"x'\r\n", L"S", L"k", L"\"x'"},
        {L"[S]\r\nk=\"\r\n", L"S", L"k", L"\""},
        {L"[S]\r\nk=\"\"\r\n", L"S", L"k", L""},
        {L"[S]\r\nk=\"a\"b\"\r\n", L"S", L"k", L"a\"b"},
        {L"[S]\r\nk=\r\n", L"S", L"k", L""},
        {L"[S]\r\nk=a=b=c\r\n", L"S", L"k", L"a=b=c"},
        {L"[S]\r\nk=\v\x1A" L"a\f\r\n", L"S", L"k", L"a"},
        {L"[S]\r\nk=a\u3000\r\n", L"S", L"k", L"a\u3000"},  // a full-width space is text, not a blank
        {L"[S]\r\nk=1\r\nk=2\r\n", L"S", L"k", L"1"},
        {L"[S]\r\nk\r\nk=2\r\n", L"S", L"k", L""},  // a line without "=" is a key with an empty value
        {L"[S]\r\nk=\r\nk=2\r\n", L"S", L"k", L""},
        {L"[A]\r\nk=1\r\n[B]\r\nk=2\r\n", L"A", L"k", L"1"},  // a name in two sections: each its own
        {L"[A]\r\nk=1\r\n[B]\r\nk=2\r\n", L"B", L"k", L"2"},
        {L"[S]\r\na=1\r\n[s]\r\na=2\r\nb=3\r\n", L"S", L"a", L"1"},
        {L"[S]\r\na=1\r\n[s]\r\na=2\r\nb=3\r\n", L"S", L"b", L""},  // only the first section of a name counts
        {L";c=1\r\n[S]\r\n", L"", L";c", L""},                       // a comment, not the key ";c"
        {L"[S]\r\n; note\r\n;k=1\r\nk=2\r\n", L"S", L"k", L"2"},
        {L"[S]\r\n[Other\r\nc=3\r\n", L"S", L"c", L""},  // no "]": still a header
        {L"[S]\r\n[Other\r\nc=3\r\n", L"Other", L"c", L"3"},
        {L"[x]y]\r\nd=4\r\n", L"x]y", L"d", L""},  // the name ends at the first "]"
        {L"[E]junk\r\ne=5\r\n", L"E", L"e", L"5"},
        {L"[ ]\r\ne=5\r\n", L"", L"e", L""},  // a nameless header is not the nameless start of the file
        {L"[S]\rcr=1\rlf=2\n", L"S", L"lf", L"2"},
        {L"[\uFF21]\r\ng=1\r\n", L"\uFF41", L"g", L""},  // only ASCII letters match across case
        {L"[表ポソ]\r\nポ表=ソ\\\r\n", L"表ポソ", L"ポ表", L"ソ\\"},
        {L"[S]\r\nk=v", L"S", L"k", L"v"},
        {L"", L"S", L"k", L""},
    };
    for (const LookupCase& c : cases) ExpectLookup(c);
}

// Windows' profile API on hand-edited files; Wine's differs on these shapes, so the platform tests cannot check
// them and this table states them.
TEST(GetIniString, ReadsHeadersAndCommentsAsWindowsDoes)
{
    const LookupCase cases[] = {
        {L"[SourceList] ; was [old]\r\nSource1=a|b\r\n", L"SourceList", L"Source1", L"a|b"},
        {L"[SourceList] ; was [old]\r\nSource1=a|b\r\n", L"SourceList] ; was [old", L"Source1", L""},
        {L"[sec]x]\r\nk=1\r\n", L"sec", L"k", L"1"},
        {L"[sec]x]\r\nk=1\r\n", L"sec]x", L"k", L""},
        {L"[DirList\r\nDir1=a|b\r\n", L"DirList", L"Dir1", L"a|b"},
        {L"  [ Dir List \t\r\nDir1=a\r\n", L"dir list", L"Dir1", L"a"},
        {L"[A]\r\n[B\r\nk=2\r\n", L"A", L"k", L""},  // the header without "]" ends section A
        {L"[DirList]\r\n;Dir1=x\r\nDir1=y\r\n", L"DirList", L"Dir1", L"y"},
        {L"[DirList]\r\n;Dir1=x\r\n", L"DirList", L";Dir1", L""},
        {L"[DirList]\r\n \t; Dir1=x\r\n", L"DirList", L"; Dir1", L""},
        {L"[DirList]\r\n;Dir1=x\r\n[Other]\r\n", L"DirList", L"Dir1", L""},
        {L"[S]\r\na;b=1\r\n", L"S", L"a;b", L"1"},  // ";" marks a comment only at the start
        {L"[S]\r\nk=v ; not a comment\r\n", L"S", L"k", L"v ; not a comment"},
        {L"[S]\r\n;[T]\r\nk=1\r\n", L"S", L"k", L"1"},  // a header in a comment starts nothing
    };
    for (const LookupCase& c : cases) ExpectLookup(c);
}

// The look-up folds the letters A-Z alone, and no neighbour of them: the characters 0x20 apart from "@", "[",
// "`" and "{" differ, and so do letters outside ASCII. Every look-up also answers the same as a view.
TEST(GetIniString, MatchesNamesAcrossAsciiCaseOnly)
{
    const LookupCase cases[] = {
        {L"[S]\r\nDir1=a\r\nDir10=b\r\n", L"s", L"DIR10", L"b"},
        {L"[S]\r\nDir10=b\r\n", L"S", L"Dir1", L""},
        {L"[S]\r\nk@=1\r\n", L"S", L"k`", L""},
        {L"[S]\r\nk[=1\r\n", L"S", L"k{", L""},
        {L"[S]\r\nk`=1\r\n", L"S", L"K@", L""},
        {L"[S]\r\nkZ=1\r\n", L"S", L"kz", L"1"},
        {L"[S]\r\nkA=1\r\n", L"S", L"ka", L"1"},
        {L"[S]\r\n\u00C9=1\r\n", L"S", L"\u00E9", L""},
        {L"[\u00C9]\r\nk=1\r\n", L"\u00E9", L"k", L""},
        {L"[@]\r\nk=1\r\n", L"`", L"k", L""},
    };
    for (const LookupCase& c : cases) {
        ExpectLookup(c);
        const IniDocument document{std::wstring(c.text)};
        EXPECT_EQ(GetIniStringView(document, c.section, c.key), c.expected) << c.text;
    }
}

TEST(GetIniString, CutsAValueAtANul)
{
    const std::wstring text(L"[S]\r\nk=ab\0cd\r\n", 14);
    EXPECT_EQ(GetIniString(IniDocument{text}, L"S", L"k"), L"ab");
}

TEST(TrimAtNull, CutsAtTheFirstNul)
{
    EXPECT_EQ(TrimAtNull(std::wstring_view(L"ab\0cd\0", 6)), L"ab");
    EXPECT_EQ(TrimAtNull(std::wstring_view(L"\0x", 2)), L"");
    EXPECT_EQ(TrimAtNull(L"表ポ"), L"表ポ");
    EXPECT_EQ(TrimAtNull(L""), L"");
}

struct UpdateCase {
    const wchar_t* existing;
    std::vector<IniAssignment> assignments;
    const wchar_t* expected;
};

TEST(UpdateIniText, ReplacesAddsAndAppendsLikeTheProfileWriter)
{
    const UpdateCase cases[] = {
        {L"", {{L"A", L"k", L"1"}, {L"A", L"j", L""}, {L"B", L"k", L"2"}}, L"[A]\r\nk=1\r\nj=\r\n[B]\r\nk=2\r\n"},
        {L"; kept\r\n[a]\r\n K = old \r\nother=x\r\n\r\n[B]\r\nz=1\r\n",
         {{L"A", L"k", L"new"}, {L"A", L"n", L"added"}, {L"C", L"c", L"3"}},
         L"; kept\r\n[a]\r\nK=new\r\nother=x\r\nn=added\r\n\r\n[B]\r\nz=1\r\n[C]\r\nc=3\r\n"},
        {L"[A]\r\nk=1\r\n[A]\r\nk=2\r\n", {{L"A", L"k", L"3"}}, L"[A]\r\nk=3\r\n[A]\r\nk=2\r\n"},
        {L"[A]\nk\nlast=1", {{L"a", L"K", L"v"}, {L"a", L"x", L"y"}}, L"[A]\r\nk=v\r\nlast=1\r\nx=y\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UpdateIniText(c.existing, c.assignments), c.expected) << c.existing;
    }
}

TEST(UpdateIniText, KeepsTheFilesSpellingOfAKeyAndItsComments)
{
    const UpdateCase cases[] = {
        {L"[Password]\r\nPASSWORD=old\r\n", {{L"Password", L"Password", L"new"}}, L"[Password]\r\nPASSWORD=new\r\n"},
        {L"[DirList]\r\n  dIR1  =  old\r\n", {{L"DirList", L"Dir1", L"a|b"}}, L"[DirList]\r\ndIR1=a|b\r\n"},
        {L"[DirList]\r\n;Dir1=old\r\nDir1=a\r\n; about Password\r\n\r\n[Password]\r\n",
         {{L"DirList", L"Dir1", L"b"}, {L"DirList", L"Dir2", L"c"}},
         L"[DirList]\r\n;Dir1=old\r\nDir1=b\r\nDir2=c\r\n; about Password\r\n\r\n[Password]\r\n"},
        {L"[DirList]\r\n; only a comment\r\n", {{L"DirList", L"Dir1", L"a"}},
         L"[DirList]\r\nDir1=a\r\n; only a comment\r\n"},
        {L"[SourceList] ; note\r\nSource1=x\r\n", {{L"SourceList", L"Source1", L"y"}},
         L"[SourceList] ; note\r\nSource1=y\r\n"},
        {L"[DirList\r\nDir1=a\r\n", {{L"DirList", L"Dir2", L"b"}}, L"[DirList\r\nDir1=a\r\nDir2=b\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UpdateIniText(c.existing, c.assignments), c.expected) << c.existing;
    }
}

TEST(UpdateIniText, DropsTheLinesOfOwnedKeysThatItDoesNotWrite)
{
    // The caller owns the keys named "own..." in the sections named "Mine" (in any letter case).
    const IniKeyOwner owns = [](std::wstring_view section, std::wstring_view key) {
        return FoldIniName(section) == L"mine" && FoldIniName(key).starts_with(L"own");
    };
    const UpdateCase cases[] = {
        {L"[Mine]\r\nown1=a\r\nown2=b\r\nown3=c\r\n", {{L"Mine", L"own1", L"x"}}, L"[Mine]\r\nown1=x\r\n"},
        {L"; head\r\n[Other]\r\nown1=kept\r\n[mine]\r\n; note\r\nOWN1=a\r\nforeign=1\r\nown9=b\r\n",
         {{L"Mine", L"own1", L"x"}, {L"Mine", L"own2", L"y"}},
         L"; head\r\n[Other]\r\nown1=kept\r\n[mine]\r\n; note\r\nOWN1=x\r\nforeign=1\r\nown2=y\r\n"},
        {L"[Mine]\r\nown1=a\r\nown1=again\r\n[Mine]\r\nown1=b\r\n[Next]\r\nk=1\r\n", {{L"Mine", L"own1", L"x"}},
         L"[Mine]\r\nown1=x\r\n[Next]\r\nk=1\r\n"},
        {L"[Mine]\r\nown1=a\r\n\r\n[Next]\r\nk=1\r\n", {{L"Next", L"k", L"2"}}, L"\r\n[Next]\r\nk=2\r\n"},
        {L"[Mine]\r\nown1=a\r\n[Mine]\r\n; kept\r\nown2=b\r\n", {}, L"[Mine]\r\n; kept\r\n"},
        {L"[Mine]\r\n", {}, L"[Mine]\r\n"},
        {L"own1=nameless\r\n[Mine]\r\nown5=a\r\n", {{L"Mine", L"own1", L"x"}}, L"own1=nameless\r\n[Mine]\r\nown1=x\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UpdateIniText(c.existing, c.assignments, owns), c.expected) << c.existing;
    }
}

TEST(UpdateIniText, RefusesNamesAndValuesThatWouldReadBackDifferently)
{
    const std::wstring nul(1, L'\0');
    const IniAssignment refused[] = {
        {L"", L"k", L"v"},          {L" ", L"k", L"v"},       {L" S", L"k", L"v"},   {L"S\t", L"k", L"v"},
        {L"a]b", L"k", L"v"},       {L"S\r\n", L"k", L"v"},   {L"S" + nul, L"k", L"v"}, {L"S", L"", L"v"},
        {L"S", L"\t", L"v"},        {L"S", L"a=b", L"v"},     {L"S", L"[k", L"v"},   {L"S", L";k", L"v"},
        {L"S", L" k", L"v"},        {L"S", L"k ", L"v"},      {L"S", L"k\n", L"v"},  {L"S", L"k", L"a\rb"},
        {L"S", L"k", L"a\nb"},      {L"S", L"k", L"a" + nul},
    };
    for (const IniAssignment& assignment : refused) {
        EXPECT_THROW(UpdateIniText(L"[S]\r\nk=old\r\n", {{L"S", L"k", L"fine"}, assignment}), std::invalid_argument)
            << ::testing::PrintToString(assignment.section) << " " << ::testing::PrintToString(assignment.key)
            << " " << ::testing::PrintToString(assignment.value);
    }
    // Characters that are special elsewhere on a line are fine where they stand here.
    EXPECT_EQ(UpdateIniText(L"", {{L"[S", L"k[;]", L" ;=[x] "}}), L"[[S]\r\nk[;]= ;=[x] \r\n");
}

}  // namespace
}  // namespace korvane
