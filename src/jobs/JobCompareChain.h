#pragma once

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <limits>

// The ancestry the job comparison shows: the jobs a job was copied from, one
// after another, or the items an item was copied from. Both walks end at a
// source that is gone, at a job or item copied from itself, and at the first
// job or item already shown (a chain that loops back ends there).

struct CompareNode
{
    QString text;
    qint32 jobId = 0;
};

// The history key that asks for no ancestry: saved against default prices.
constexpr qint32 kNoHistory = std::numeric_limits<qint32>::min();

// The jobs that the job descends from, nearest first. `found` tells whether
// the job itself exists.
QList<CompareNode> JobSourceChain(qint32 jobId, bool &found);
// The items the item (key = -ItemID) descends from, the item itself first.
QList<CompareNode> ItemSourceChain(qint32 key);
// The tree's root text: the chain's story, with "Item" for an item chain.
QString CompareRootText(bool items, int nodes, bool walked);
// The item number in a node text "... - Item %d: ...", 0 when none.
int CompareNodeItemNo(const QString &text);
