#pragma once

#include <QIODevice>
#include <memory>

#include "scheme/file_scheme.h"

namespace scheme {

// The device the engine reads a local answer from. Every read of the engine
// goes through the handler's ReadResponse, so a file is read in exactly the
// pieces the engine asks for and nothing is buffered here.
class TFileSchemeReply : public QIODevice {
    Q_OBJECT
  public:
    TFileSchemeReply(std::unique_ptr<TFileScheme> handler, qint64 responseLength);
    ~TFileSchemeReply() override;

    bool isSequential() const override { return false; }
    qint64 size() const override { return responseLength_; }
    bool seek(qint64 position) override;

  protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

  private:
    std::unique_ptr<TFileScheme> handler_;
    qint64 responseLength_;
};

}  // namespace scheme
