#pragma once
// Word splitters: cut a text into the words the line filling works on.
// Every word but the last keeps its trailing space, so that a line is the
// plain concatenation of its words.

#include <QString>
#include <QStringList>

class TDecoupeMotsStrategie
{
public:
    virtual ~TDecoupeMotsStrategie() = default;
    // Replaces the content of `mots` by the words of `texte`.
    virtual void Decouper(const QString& texte, QStringList& mots) = 0;

    // The one-character word that marks a hard line break in a memo's words.
    static const QString& MarqueurSautLigne();
};

// Cuts at spaces only: "a  b" gives "a ", " ", "b"; "a " gives "a ", "".
class TSimpleDecoupeMotsStrategie : public TDecoupeMotsStrategie
{
public:
    void Decouper(const QString& texte, QStringList& mots) override;
};

// Cuts at spaces and at line breaks; each break becomes the word "\r".
// A final line break or a final space adds no empty word. Line breaks are
// CR LF as stored, and also a lone LF or CR (texts typed on this platform).
class TMemoDecoupeMotsStrategie : public TDecoupeMotsStrategie
{
public:
    void Decouper(const QString& texte, QStringList& mots) override;
};
