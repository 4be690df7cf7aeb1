// SPDX-License-Identifier: MIT
#include <QtTest>
class WordsTest : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(WordsTest)
#include "words_test.moc"
