#pragma once

#include <QObject>

// The frame's document. It holds nothing of its own: the object list, the importers and the
// lights live in the application object, the render modes in the view.
class CMyMorvaneOGLDoc : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
};
