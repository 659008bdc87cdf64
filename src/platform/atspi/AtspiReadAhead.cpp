#include "platform/atspi/AtspiReadAhead.h"

#include <dbus/dbus.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <vector>

namespace mendo::atspi {

namespace {

constexpr const char* accessibleInterface = "org.a11y.atspi.Accessible";
constexpr const char* nullPath = "/org/a11y/atspi/null";

// Questions sent and not yet answered, at most: enough to keep the
// application busy between two of its answers, few enough that each waits
// little behind the others, so that its timeout still measures the
// application rather than the queue.
constexpr int questionsInFlight = 64;

enum class Question { Role, States, Children };

const char* methodOf(Question question)
{
    switch (question) {
    case Question::Role:
        return "GetRole";
    case Question::States:
        return "GetState";
    case Question::Children:
        return "GetChildren";
    }
    return "";
}

struct Node {
    AtspiAccessible* object;
    int depth;
    // Indexes of the child nodes, once this one was read and is entered.
    std::vector<int> children;
    std::optional<AtspiRole> role;
    std::optional<quint64> states;
    // Whether GetChildren answered; the children as objects unless one lives
    // in another application.
    bool childrenAnswered = false;
    std::optional<QList<AtspiAccessible*>> childObjects;
};

bool isTimeout(DBusMessage* reply)
{
    const char* name = dbus_message_get_error_name(reply);
    return name && (!std::strcmp(name, DBUS_ERROR_NO_REPLY) || !std::strcmp(name, DBUS_ERROR_TIMEOUT));
}

bool hasSignature(DBusMessage* reply, const char* signature)
{
    return dbus_message_get_type(reply) == DBUS_MESSAGE_TYPE_METHOD_RETURN
        && !std::strcmp(dbus_message_get_signature(reply), signature);
}

std::optional<AtspiRole> roleFrom(DBusMessage* reply)
{
    dbus_uint32_t role = 0;
    if (!hasSignature(reply, "u") || !dbus_message_get_args(reply, nullptr, DBUS_TYPE_UINT32, &role, DBUS_TYPE_INVALID))
        return std::nullopt;
    return AtspiRole(role);
}

// Two 32-bit words, the lower states first, as libatspi reads them.
std::optional<quint64> statesFrom(DBusMessage* reply)
{
    if (!hasSignature(reply, "au"))
        return std::nullopt;
    DBusMessageIter iter;
    DBusMessageIter array;
    dbus_message_iter_init(reply, &iter);
    dbus_message_iter_recurse(&iter, &array);
    const dbus_uint32_t* words = nullptr;
    int count = 0;
    dbus_message_iter_get_fixed_array(&array, &words, &count);
    if (count != 2 || !words)
        return std::nullopt;
    return (quint64(words[1]) << 32) | words[0];
}

// The children as objects of `parent`'s application, in order, skipping null
// references as libatspi does; empty when one lives in another application
// (libatspi alone can name those).
std::optional<QList<AtspiAccessible*>> childrenFrom(DBusMessage* reply, AtspiAccessible* parent)
{
    std::optional<QList<AtspiAccessible*>> children;
    if (!hasSignature(reply, "a(so)"))
        return children;
    AtspiApplication* application = ATSPI_OBJECT(parent)->app;
    if (!application || !application->bus_name)
        return children;
    DBusMessageIter iter;
    DBusMessageIter array;
    dbus_message_iter_init(reply, &iter);
    dbus_message_iter_recurse(&iter, &array);
    children.emplace();
    while (dbus_message_iter_get_arg_type(&array) == DBUS_TYPE_STRUCT) {
        DBusMessageIter reference;
        dbus_message_iter_recurse(&array, &reference);
        const char* bus = nullptr;
        const char* path = nullptr;
        dbus_message_iter_get_basic(&reference, &bus);
        dbus_message_iter_next(&reference);
        dbus_message_iter_get_basic(&reference, &path);
        dbus_message_iter_next(&array);
        if (!path || !std::strcmp(path, nullPath))
            continue;
        if (!bus || std::strcmp(bus, application->bus_name) != 0) {
            unrefAll(*children);
            return std::nullopt;
        }
        // libatspi names an element it has not handed out itself only
        // through this (declared in its public header).
        children->append(_atspi_accessible_new(application, path));
    }
    return children;
}

// Positions in tree order of the nodes known so far; a node not yet read
// counts as a leaf. What is read later only adds to a node's position, so one
// at position `count` or later lies beyond a walk of `count` elements.
std::vector<int> treeOrder(const std::vector<Node>& nodes)
{
    std::vector<int> position(nodes.size(), 0);
    std::vector<int> stack { 0 };
    int next = 0;
    while (!stack.empty()) {
        const int node = stack.back();
        stack.pop_back();
        position[size_t(node)] = next++;
        stack.insert(stack.end(), nodes[size_t(node)].children.rbegin(), nodes[size_t(node)].children.rend());
    }
    return position;
}

struct Asked {
    int node;
    Question question;
};

// Sends every question, a few in flight at a time, and files each answer with
// its node. False when a question ran into its timeout (or could not be sent),
// which ends the reading; `answered` says whether any answer came before.
bool ask(
    DBusConnection* bus, std::vector<Node>& nodes, const std::vector<Asked>& questions, int timeoutMs, bool& answered)
{
    std::deque<std::pair<size_t, DBusPendingCall*>> inFlight;
    size_t next = 0;
    bool ok = true;
    while (ok && (next < questions.size() || !inFlight.empty())) {
        while (next < questions.size() && inFlight.size() < size_t(questionsInFlight)) {
            const Asked& asked = questions[next];
            AtspiObject* object = ATSPI_OBJECT(nodes[size_t(asked.node)].object);
            DBusMessage* message = dbus_message_new_method_call(
                object->app->bus_name, object->path, accessibleInterface, methodOf(asked.question));
            DBusPendingCall* call = nullptr;
            const bool sent = message && dbus_connection_send_with_reply(bus, message, &call, timeoutMs) && call;
            if (message)
                dbus_message_unref(message);
            if (!sent) {
                if (call)
                    dbus_pending_call_unref(call);
                ok = false;
                break;
            }
            inFlight.emplace_back(next++, call);
        }
        if (inFlight.empty())
            break;
        const auto [index, call] = inFlight.front();
        inFlight.pop_front();
        dbus_pending_call_block(call);
        DBusMessage* reply = dbus_pending_call_steal_reply(call);
        dbus_pending_call_unref(call);
        if (!reply || isTimeout(reply)) {
            if (reply && !answered)
                noteCallTimedOut();
            ok = false;
        } else {
            answered = true;
            Node& node = nodes[size_t(questions[index].node)];
            switch (questions[index].question) {
            case Question::Role:
                node.role = roleFrom(reply);
                break;
            case Question::States:
                node.states = statesFrom(reply);
                break;
            case Question::Children:
                node.childrenAnswered = hasSignature(reply, "a(so)");
                node.childObjects = childrenFrom(reply, node.object);
                break;
            }
        }
        if (reply)
            dbus_message_unref(reply);
    }
    for (const auto& [index, call] : inFlight) {
        dbus_pending_call_cancel(call);
        dbus_pending_call_unref(call);
    }
    return ok;
}

}  // namespace

std::shared_ptr<const ReadAhead> ReadAhead::read(AtspiAccessible* root, int depth, int count, int timeoutMs)
{
    DBusConnection* bus = atspi_get_a11y_bus();
    const AtspiObject* base = root ? ATSPI_OBJECT(root) : nullptr;
    if (!bus || !base || !base->app || !base->app->bus_name || !base->path || depth < 0 || count < 1)
        return nullptr;
    std::shared_ptr<ReadAhead> result(new ReadAhead);
    result->m_held.append(static_cast<AtspiAccessible*>(g_object_ref(root)));
    std::vector<Node> nodes { Node { root, 0, {}, {}, {}, false, {} } };
    std::vector<int> level { 0 };
    int asked = 0;
    bool answered = false;
    // A level at a time: which of its nodes a walk can reach is known only
    // once the level above has been read.
    while (!level.empty() && asked < count) {
        const std::vector<int> position = treeOrder(nodes);
        std::erase_if(level, [&](int node) { return position[size_t(node)] >= count; });
        std::sort(level.begin(), level.end(), [&](int a, int b) { return position[size_t(a)] < position[size_t(b)]; });
        if (level.size() > size_t(count - asked))
            level.resize(size_t(count - asked));
        asked += int(level.size());
        std::vector<Asked> questions;
        for (int node : level) {
            for (Question question : { Question::Role, Question::States, Question::Children })
                questions.push_back({ node, question });
        }
        const bool ok = ask(bus, nodes, questions, timeoutMs, answered);
        std::vector<int> nextLevel;
        for (int index : level) {
            // Copied out: new nodes are added below.
            const Node node = nodes[size_t(index)];
            if (node.childObjects)
                result->m_held += *node.childObjects;
            if (!node.role || !node.states || !node.childrenAnswered)
                continue;
            const Element element { *node.role, *node.states, node.childObjects };
            result->m_elements.insert(node.object, element);
            const bool entered
                = element.role != ATSPI_ROLE_DOCUMENT_WEB && (index == 0 || element.has(ATSPI_STATE_SHOWING));
            if (!entered || !node.childObjects || node.depth >= depth)
                continue;
            for (AtspiAccessible* child : *node.childObjects) {
                const int childIndex = int(nodes.size());
                nodes.push_back(Node { child, node.depth + 1, {}, {}, {}, false, {} });
                nodes[size_t(index)].children.push_back(childIndex);
                nextLevel.push_back(childIndex);
            }
        }
        if (!ok)
            break;
        level = std::move(nextLevel);
    }
    if (result->m_elements.isEmpty())
        return nullptr;
    return result;
}

ReadAhead::~ReadAhead()
{
    unrefAll(m_held);
}

const ReadAhead::Element* ReadAhead::find(AtspiAccessible* object) const
{
    const auto found = m_elements.constFind(object);
    return found == m_elements.cend() ? nullptr : &*found;
}

}  // namespace mendo::atspi
