#pragma once

namespace veradex {

// Told how far an upload has come: 1, 2, 3, … while the body goes out (about
// one notice per hundredth of the length), then 100 once the server has
// answered. Called on the thread that runs the upload.
class TransferObserver {
 public:
  virtual ~TransferObserver() = default;
  virtual void OnProgress(int position) = 0;
};

}  // namespace veradex
