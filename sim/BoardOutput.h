// How the board's firmware hands a block to the serial link.
#pragma once

#include <QByteArray>
#include <functional>

// Queued blocks (answers) always go out, after anything still waiting; droppable
// ones (telemetry) are dropped while earlier output is still waiting.
enum class Delivery { Queued, Droppable };

// What a block is, for the record of what went out on the wire.
enum class BlockKind { Reply, Telemetry, Shot, End, Ack };

using BoardOutput = std::function<void(const QByteArray& block, Delivery delivery, BlockKind kind)>;
