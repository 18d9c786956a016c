#pragma once

#include <QString>

namespace upgrader {

// Status notifications of a transfer (OnStatusChange). The client raises
// those that libcurl lets it observe: resolving, connecting, sending,
// receiving, intermediate (1xx) answers, redirects, closing connections, and
// the creation and closing of its request handle.
enum TauStatusID {
    stResolvingName = 10,
    stNameResolved = 11,
    stConnectingToServer = 20,
    stConnected = 21,
    stSendingRequest = 30,
    stRequestSent = 31,
    stReceivingResponse = 40,
    stResponseReceived = 41,
    stClosingConnection = 50,
    stConnectionClosed = 51,
    stHandleCreated = 60,
    stHandleClosing = 70,
    stRequestComplete = 100,
    stRedirect = 110,
    stIntermediateResponse = 120,
    stStateChange = 200,
};

// "Resolving name", "Connected", ...; "Unknown status" for any other number.
QString StatusText(int StatusID);

}  // namespace upgrader
