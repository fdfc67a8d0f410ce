#pragma once

// Forward declarations for headers that moc reads: Qt 6.4's moc cannot parse <coroutine>, so a
// QObject header names its coroutine types from here and its .cpp includes core/Task.h.
namespace tessora {

template <typename T>
class Task;
class BackgroundWork;

}  // namespace tessora
