#pragma once

#include "logservice/Note.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The sign-in page: the form "sign_in" / "identity" / "password", with an optional message above it and
// the user name typed last time.
QByteArray signInPage(const QString& message, const QString& identity);

// The log form of a signed-in logger: the clip clock, the note box and the notes, newest first.
QByteArray logFormPage(const QString& userName, const QList<Note>& notes, bool hasOlderNotes);

// Asks whether to sign out, with a form that posts the sign-out back to the service: what a link from
// elsewhere gets instead of signing the logger out by itself.
QByteArray signOutPage();

// The notes part of the log form alone, which the form's script puts in place after storing a note.
QByteArray notesSection(const QList<Note>& notes, bool hasOlderNotes);

// One of the maker's web site pages by its file name ("tapescribe.html", "glossary.html", "about.html").
QByteArray makerSitePage(const QString& fileName);

// The Content-Security-Policy of every page: nothing but the page's own style and script (by their
// hashes) and requests back to the service itself.
QByteArray pageSecurityPolicy();

// How many notes the log form shows; the CSV download has them all.
constexpr int notesShownOnForm = 500;
