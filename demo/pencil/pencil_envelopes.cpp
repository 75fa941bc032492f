#include "demo/pencil/pencil_envelopes.h"

PencilEnvelopes& PencilEnvelopes::instance() {
    static PencilEnvelopes* set = new PencilEnvelopes;
    return *set;
}

void PencilEnvelopes::resetToStart() { *this = PencilEnvelopes(); }

PencilEnvelopes::PencilEnvelopes() {
    flyInCountMin_.addKeys({{0, 0}, {0, 51780}, {1, 51781}, {3, 54200}, {0, 54201}, {0, 84799}, {1, 84800},
                            {0, 99801}, {0, 146099}, {1, 146100}, {1, 148150}, {0, 148200}, {0, 206936},
                            {1, 206937}, {1, 240000}, {0, 240001}});
    flyInCountMax_.addKeys({{0, 0}, {0, 51780}, {1, 51781}, {3, 54200}, {0, 54201}, {0, 84799}, {1, 84800},
                            {5, 90800}, {2, 94800}, {0, 99801}, {0, 146099}, {2, 146100}, {3, 148150},
                            {0, 148200}, {0, 206936}, {1, 206937}, {1, 230000}, {0, 240000}});
    flyInIntervalMin_.addKeys({{0, 0}, {0, 51780}, {100, 51781}, {5, 54200}, {0, 54201}, {0, 84799}, {10, 84800},
                               {5, 90800}, {100, 94801}, {30, 150000}, {100, 200000}});
    flyInIntervalMax_.addKeys({{0, 0}, {0, 51780}, {300, 51781}, {100, 54200}, {0, 54201}, {0, 84799},
                               {100, 84800}, {50, 90800}, {500, 94801}, {100, 150000}, {500, 200000}});
    paperAlpha_.addKeys({{0, 0}, {0, 180000}, {0.9f, 230000}});
}

void PencilEnvelopes::restartAll() {
    for (Envelope* envelope :
         {&flyInCountMin_, &flyInCountMax_, &flyInIntervalMin_, &flyInIntervalMax_, &pieceFactor_, &paperAlpha_}) {
        envelope->start(0);
    }
}
