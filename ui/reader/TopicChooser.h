#pragma once
// The chooser shown for an index keyword with several topics: their
// titles in a list; the one chosen is handed back once the dialog is
// accepted. It is window-modal and returns at once.

#include <QDialog>
#include <functional>

#include "ui/reader/ReaderEntry.h"

class QListWidget;

namespace velmora::ui {

class TopicChooser : public QDialog {
  Q_OBJECT

 public:
  TopicChooser(const ReaderEntry& entry, QWidget* parent);

  // Opens the chooser; chosen runs with the link picked when accepted.
  static TopicChooser* Choose(const ReaderEntry& entry, QWidget* parent,
                              std::function<void(const ReaderLink&)> chosen);

  QListWidget* Topics() const { return m_lstTopics; }

 private:
  QListWidget* m_lstTopics = nullptr;
};

}  // namespace velmora::ui
