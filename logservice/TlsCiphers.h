#pragma once

#include <QList>
#include <QSslCipher>

// The suites the service offers, in the order given: every TLS 1.3 suite (each is an AEAD one with an
// ephemeral key exchange), and of TLS 1.2 only ECDHE with AES-GCM or ChaCha20-Poly1305. CBC suites with
// their SHA-1 or SHA-2 MACs, static RSA and finite-field DHE stay out: a client old enough to need them
// is not one the service talks to.
QList<QSslCipher> serviceCiphers(const QList<QSslCipher>& supported);

// Narrows the default of every TLS socket the process opens from now on to serviceCiphers, in the default's
// order of preference; the listeners start from the default configuration. False, changing nothing, when
// none of them is at hand: an empty list would stand for the library's defaults again.
bool restrictDefaultCiphers();
