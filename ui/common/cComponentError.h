#pragma once
// An error raised by a UI support component to its caller: a number, the
// component that raised it ("<program>.<class>") and a description. Callers
// that want to survive it catch this type; the program's own callers never
// provoke one in normal use (they leave CancelError off and pass short names).

#include <QString>
#include <stdexcept>

class cComponentError : public std::runtime_error {
 public:
  cComponentError(qint32 lngNumber, const QString& strSource, const QString& strDescription)
      : std::runtime_error(strDescription.toStdString()),
        m_lngNumber(lngNumber),
        m_strSource(strSource),
        m_strDescription(strDescription) {}

  qint32 Number() const { return m_lngNumber; }
  QString Source() const { return m_strSource; }
  QString Description() const { return m_strDescription; }

  // The source text of a component: the executable's base name, ".", class.
  static QString SourceFor(const char* className);

 private:
  qint32 m_lngNumber;
  QString m_strSource;
  QString m_strDescription;
};
