#include "platform/RidOdo/TaskModule.h"

#include "common/OpenInternetHandles.h"
#include "platform/RidOdo/HttpTransport.h"
#include "platform/RidOdo/RequestPool.h"
#include "platform/RidOdo/UrlText.h"

struct CTaskModule::State {
  // Held while a callback runs, so that the module is not destroyed under it.
  std::recursive_mutex callbackMutex;
  IResourceCallback* callback = nullptr;

  std::mutex stopMutex;
  uint64_t nextSequence = 1;
  uint64_t stoppedBefore = 0;                 // requests numbered below this are stopped
  std::map<std::string, uint64_t> stoppedUrls;  // per address, the same

  bool IsStopped(const std::string& url, uint64_t sequence) {
    std::lock_guard<std::mutex> lock(stopMutex);
    if (sequence < stoppedBefore) return true;
    const auto found = stoppedUrls.find(url);
    return found != stoppedUrls.end() && sequence < found->second;
  }

  // Nothing is delivered once the network is abandoned: the program is ending. An argument
  // nobody takes goes with `arg`.
  void Deliver(int failed, std::unique_ptr<CResourceArg> arg) {
    std::lock_guard<std::recursive_mutex> lock(callbackMutex);
    if (callback && !IsNetworkAbandoned()) callback->OnResCallback(failed, arg.release());
  }
};

namespace {

void Fetch(const CResourceRequest& request, CResourceArg& arg, bool& failed) {
  HttpCall call;
  call.url = AppendQuery(request.url, request.requestData);
  call.timeoutMs = request.timeoutMs != 0 ? request.timeoutMs : CTaskModule::kDefaultTimeoutMs;
  HttpAnswer answer = HttpGet(call);
  arg.packet.status = answer.status;
  arg.packet.headers = std::move(answer.headers);
  failed = !answer.Succeeded();
  if (!failed) arg.SetBody(std::move(answer.body));
}

}  // namespace

CTaskModule::CTaskModule() : m_state(std::make_shared<State>()) {}

CTaskModule::~CTaskModule() {
  std::lock_guard<std::recursive_mutex> lock(m_state->callbackMutex);
  m_state->callback = nullptr;
}

void CTaskModule::SetCallback(IResourceCallback* callback) {
  std::lock_guard<std::recursive_mutex> lock(m_state->callbackMutex);
  m_state->callback = callback;
}

bool CTaskModule::GetRes(const CResourceRequest& request, CResourceArg* arg) {
  return GetRes(request, std::unique_ptr<CResourceArg>(arg));
}

// The job owns the argument until the callback takes it; a job that never runs frees it.
bool CTaskModule::GetRes(const CResourceRequest& request, std::unique_ptr<CResourceArg> arg) {
  if (!arg) return false;
  arg->url = request.url;
  uint64_t sequence = 0;
  {
    std::lock_guard<std::mutex> lock(m_state->stopMutex);
    sequence = m_state->nextSequence++;
  }
  std::shared_ptr<State> state = m_state;
  CRequestPool::GetInstance().Post(MakeTask([state, request, arg = std::move(arg), sequence]() mutable {
    bool failed = true;
    if (!state->IsStopped(request.url, sequence)) Fetch(request, *arg, failed);
    state->Deliver(failed ? 1 : 0, std::move(arg));
  }));
  return true;
}

void CTaskModule::Stop() {
  std::lock_guard<std::mutex> lock(m_state->stopMutex);
  m_state->stoppedBefore = m_state->nextSequence;
}

void CTaskModule::StopUrl(const std::string& url) {
  std::lock_guard<std::mutex> lock(m_state->stopMutex);
  m_state->stoppedUrls[url] = m_state->nextSequence;
}
