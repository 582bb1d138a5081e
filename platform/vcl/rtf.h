// Rich text streams of the rich edit control: the layer's own reader and
// writer for what a note holds (fonts, sizes, colours, bold, italic,
// underline, paragraphs and their alignment, tabs and line breaks), over a
// QTextDocument.
//
// The writer writes what the system's rich edit writes: ANSI code page 936,
// every font with character set 134, text outside ASCII as GBK bytes
// (\'hh), characters GBK lacks as \uN with a '?' for readers without
// Unicode, sizes in half points at 96 pixels per inch.
//
// The reader takes streams of other programs too: fonts and bytes in the
// code page of their character set (\fcharset) or of the document
// (\ansicpg), \uN with its \ucN fallback, the associated fonts of
// double-byte runs (\dbch\af\afs\ab\ai), fields (their result), and it skips
// what a note does not show (style sheets, pictures, headers, document
// information, ignorable destinations). It never fails on damaged input: a
// stream cut short gives what it holds so far, nesting beyond a limit is
// read flat.
#pragma once
#include <string>
#include <string_view>

class QTextDocument;

namespace vcl::rtf {

// True when the bytes begin as a rich text stream ("{\rtf").
bool IsRtf(std::string_view bytes);

// Replaces the document's content by the stream's; false, with the
// document untouched, when the bytes are not a rich text stream.
bool Read(std::string_view bytes, QTextDocument* doc);

// The whole document as a rich text stream.
std::string Write(const QTextDocument& doc);

}  // namespace vcl::rtf
