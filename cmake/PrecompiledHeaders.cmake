# Precompiled headers. The Qt headers (Widgets, WebEngine, QtTest) and
# GoogleTest take seconds to parse in every file that includes them; each
# set below is parsed once per build and reused by every target compiled
# with the same flags and definitions (GCC refuses a precompiled header made
# under a macro the target does not define the same way, and QtTest's
# QT_TESTCASE_BUILDDIR differs per folder). Configure with
# -DVELMORA_PCH=OFF to build without them, which also shows a missing
# #include.
option(VELMORA_PCH "Precompile the Qt and GoogleTest headers" ON)

# What the Qt libraries include: widgets, and the web engine where they use it.
set(VELMORA_PCH_QT_WIDGETS
  <QApplication> <QWidget> <QDialog> <QMainWindow> <QAction> <QLabel> <QPushButton> <QLineEdit>
  <QListWidget> <QMenu> <QMessageBox> <QFileDialog> <QTreeView> <QFileSystemModel>
  <QString> <QStringList> <QDir> <QFile> <QFileInfo> <QUrl> <QTimer> <QPointer>
  <functional> <memory> <string> <vector>)
set(VELMORA_PCH_QT_WEB ${VELMORA_PCH_QT_WIDGETS}
  <QWebEngineView> <QWebEnginePage> <QWebEngineProfile> <QWebEngineUrlRequestJob>
  <QWebEngineUrlSchemeHandler> <QWebEngineUrlRequestInterceptor>)
# What the Qt test programs include besides.
set(VELMORA_PCH_QT_TEST ${VELMORA_PCH_QT_WEB} <QtTest> <QSignalSpy> <QTemporaryDir>)
set(VELMORA_PCH_QT_WIDGETS_TEST ${VELMORA_PCH_QT_WIDGETS} <QtTest> <QSignalSpy> <QTemporaryDir>)
# What the GoogleTest programs include.
set(VELMORA_PCH_GTEST <gtest/gtest.h> <filesystem> <fstream> <map> <string> <vector>)

# velmora_precompile(TARGET HEADERS...): TARGET's own precompiled header.
function(velmora_precompile target)
  if(VELMORA_PCH)
    target_precompile_headers(${target} PRIVATE ${ARGN})
  endif()
endfunction()

# velmora_precompile_like(TARGET OWNER): TARGET uses OWNER's precompiled
# header. TARGET must be compiled with the same flags and define every macro
# OWNER defines, the same way (more are allowed: the Qt modules' QT_*_LIB
# are tested by QtTest only).
function(velmora_precompile_like target owner)
  if(VELMORA_PCH)
    target_precompile_headers(${target} REUSE_FROM ${owner})
  endif()
endfunction()
