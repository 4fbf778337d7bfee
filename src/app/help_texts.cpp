#include "app/help_texts.h"

#include <initializer_list>

namespace kestra {
namespace {

std::string lines(std::initializer_list<std::string_view> parts) {
    std::string text;
    bool first = true;
    for (std::string_view part : parts) {
        if (!first) text += '\n';
        text += part;
        first = false;
    }
    return text;
}

std::string noteHelpMusic() {
    return lines({
        "Indicate the note played.",
        "A note goes on playing until another note or a '/' stands under it.",
        "'///' marks a silence: the note before it stops on that line.",
        "",
        "KEYS",
        "",
        "Press 'Enter' to set a note (C-0, or 0-# on the Noise channel).",
        "Press 'A' to 'G' to change the letter of the note.",
        "Press the apostrophe key, beside 'Enter', to add or remove a '#'.",
        "Press numbers '0' to '9' to change the octave of the note.",
        "Press 'Delete' to delete a note.",
        "Press 'Space Bar' to set a silence '///'.",
        "Press 'Insert' to set a '^^^' line: it stops the note and carries commands,",
        "but a '^' line does not count in the length.",
        "",
        "WARNING : A NOTE THAT IS NOT STOPPED BEFORE THE END OF A PAGE GOES ON PLAYING",
        "ACROSS THE FOLLOWING PAGES.",
    });
}

std::string noteHelpLoop() {
    return lines({
        "The first square for a loop indicate the number of times the loops makes.",
        "The second square is the frame, and the third square the line of that frame,",
        "where the loop goes back to.",
        "A jump has two squares: the frame and the line it goes to, as for a loop.",
        "",
        "KEYS",
        "",
        "Press 'Enter' to set a loop or a jump (all its squares start at 0).",
        "Press 'Delete' to delete a loop or a jump.",
        "Press numbers '0' to '9' and 'A' to 'F' to modify the number of loops.",
        "Hold 'Shift' to edit the 1st digit, and without 'Shift' to edit the 2nd digit.",
        "On the line square:",
        "'1' and '2' lower and raise the thousands digit,",
        "'q' and 'w' lower and raise the hundreds digit,",
        "'a' and 's' lower and raise the tens digit,",
        "'z' and 'x' lower and raise the ones digit.",
    });
}

std::string noteHelpBreak() {
    return lines({
        "The first square for a break indicate the flag, which is the same as the one from the "
        "music sheet.",
        "The second square is the frame, and the third square the line of that frame,",
        "where the break goes.",
        "",
        "KEYS",
        "",
        "Press 'Enter' to set a break: choose its flag in the window that opens.",
        "Press 'Delete' to delete a break.",
        "On the line square:",
        "'1' and '2' lower and raise the thousands digit,",
        "'q' and 'w' lower and raise the hundreds digit,",
        "'a' and 's' lower and raise the tens digit,",
        "'z' and 'x' lower and raise the ones digit.",
    });
}

std::string sheetHelpMusic() {
    return lines({
        "All the frames have different lengths, but you can stop it from playing whenever you "
        "want. See the keys section.",
        "On a line, the note is the last instruction done: the other columns act before it.",
        "",
        "KEYS",
        "",
        "Press the full stop key '.' to put or remove an early page end '.' on a line.",
        "Press 'End' to put or remove a page end '|' on a line.",
        "",
        "WARNING : A SONG WHOSE PAGES, EXCEPT THE LAST ONE, DO NOT END WITH A '.' IS NOT CREATED.",
        "THE LAST PAGE MUST END WITH A '|', NOT A '.'.",
    });
}

std::string sheetHelpLoops() {
    return lines({
        "There are 4 loops, Loop 1 can be breaked by Break 1, Loop 2 by Break 2, etc...",
        "A loop has three squares: how many times it loops, the frame and the line it goes back "
        "to.",
        "A break has three squares: the flag it sets, the frame and the line it goes to.",
        "A jump has two squares: the frame and the line it goes to.",
        "When a loop makes its last turn and meets its break, the song goes where the break "
        "points.",
        "A loop, break or jump that points at an empty line is seldom reached: point at a line "
        "that holds something.",
        "",
        "KEYS",
        "",
        "Press 'Enter' to set a loop, a break or a jump, and 'Delete' to delete it.",
        "Press numbers '0' to '9' and 'A' to 'F' to modify a number of loops.",
        "Hold 'Shift' to edit the 1st digit, and without 'Shift' to edit the 2nd digit.",
        "Press 'Enter' or double click on the flag of a break to change it.",
    });
}

std::string showSongHelp() {
    return lines({
        "Notes are named by the octave the driver plays them in; 'COc' shows that octave on",
        "each row, octave-plus and the flags of taken breaks included. A slide or a pitch effect",
        "can still make a note sound otherwise.",
        "",
        "Show Song follows the whole channel, until its end or a jump placed before a loop.",
        "The '^^^' lines are not shown, but their settings appear on the next shown line; only",
        "the last setting of each parameter counts. Several Triplet or OctPlus commands on such",
        "lines cause trouble.",
        "",
        "To be sure of what you hear, create the song and listen to it.",
    });
}

std::string readChannelHelp() {
    return lines({
        "ADDRESS ERROR.",
        "",
        "Such errors come from songs that were not made with this editor.",
        "To correct them you need a hex editor and some knowledge of the music format.",
        "These songs sometimes jump into the middle of a two-byte command: a flag command such",
        "as 04 00 is then read as a flag or as a triplet switch, depending on where the jump",
        "lands. Find that place in the file and correct it.",
    });
}

std::string importantRemarkHelp() {
    return lines({
        "A last thing : look how the song appear in the sheet, most of the time, they do twice an",
        "instruction: the songs read from the game often repeat it, for example the same flag",
        "twice in a row, with loops pointing at each copy.",
        "Every loop and jump target starts with a flag, because the game's own authoring tool",
        "inserted one at each target.",
        "So duplicated flags may often be removed.",
    });
}

}  // namespace

const std::vector<std::string_view>& helpButtonNames() {
    static const std::vector<std::string_view> names = {
        "btnMultiplyHelp", "btnSheetHelp",    "btnNoteHelp",    "btnVolHelp",     "btnInstHelp",
        "btnOctHelp",      "btnToneHelp",     "btnSlideHelp",   "btnFlagHelp",    "btnTonyTypeHelp",
        "btnTransHelp",    "btnSpeedHelp",    "btnTripHelp",    "btnOctPlusHelp", "btnShwSngHelp",
        "btnCreateCode",   "btnShowSongHelp", "btnRedChanHelp", "btnImpMsgHelp",  "btnImpRem",
        "btnHelpBefAf",
    };
    return names;
}

std::optional<std::string> helpText(std::string_view button, SheetKind sheet) {
    if (button == "btnNoteHelp") {
        switch (sheet) {
            case SheetKind::Music:
                return noteHelpMusic();
            case SheetKind::Loop:
                return noteHelpLoop();
            case SheetKind::Break:
                return noteHelpBreak();
            default:
                return std::nullopt;
        }
    }
    if (button == "btnSheetHelp")
        return sheet == SheetKind::Music ? sheetHelpMusic() : sheetHelpLoops();
    if (button == "btnMultiplyHelp")
        return lines({
            "Set the multiplier max value, and then change the frame to have it take effet.",
            "It's a count to help you count the lines and place the notes.",
        });
    if (button == "btnVolHelp")
        return lines({
            "Volume goes from 0 to F.",
            "Volume only affects the channel in which it is modified.",
            "",
            "KEYS",
            "",
            "Press 'Enter' to be able to set a volume.",
            "Press 'Delete' to delete a volume.",
            "Press numbers '0' to '9' and 'A' to 'F', to modify a volume.",
        });
    if (button == "btnInstHelp")
        return lines({
            "The possible instruments are in the list called instrument list.",
            "Click 'Edit Instrument' to modify instruments (modify property of instruments).",
            "",
            "KEYS",
            "Same keys as Tone Lenght, except pressing 'Space Bar' will use the instrument "
            "selected in the list.",
        });
    if (button == "btnOctHelp")
        return lines({
            "An octave of 0 allows notes from 0 to 2 for G, A and B notes, and 0 to 3 for the "
            "others.",
            "An octave of 1 allows notes from 1 to 3 for G, A and B notes, and 1 to 4 for the "
            "others.",
            "",
            "When creating the song, if you play a note which can't be accessed by an octave, you "
            "will be alerted.",
            "",
            "Octave goes from 0 to 7.",
            "",
            "Octave is at 0 at the start of the song, if you don't change it.",
            "",
            "KEYS",
            "",
            "Press 'Enter' to be able to set an octave.",
            "Press 'Delete' to delete an octave.",
            "Press numbers '0' to '7' to modify an octave.",
        });
    if (button == "btnToneHelp")
        return lines({
            "The tone length affects how every notes are held, if the instrument can hold them.",
            "THIS DOESN'T AFFECT SYNCHRONICITY.",
            "For some instrument, lower Tone means the note are held longer.",
            "",
            "KEYS",
            "",
            "Press 'Enter' to be able to set a Tone Length.",
            "Press 'Delete' to delete a Tone Length.",
            "Press numbers '0' to '9' and 'A' to 'F' to modify Tone Length.",
            "Hold 'Shift' to edit the 1st digit, and without 'Shift' to edit the 2nd digit.",
        });
    if (button == "btnSlideHelp")
        return lines({
            "Sets the note slide.",
            "All the future notes will be affected by the value.",
            "'00' will disable this function, any other number is the speed.",
        });
    if (button == "btnFlagHelp")
        return lines({
            "When you push enter on a flag, you see everything that the flag propose.",
            "When you break a loop, you need to set a flag.",
            "It's best to always set a flag at the start, because you need to set one when you "
            "break a line.",
            "",
            "Avoid using this at all costs, as it's really not needed.",
        });
    if (button == "btnTonyTypeHelp")
        return lines({
            "When you click on the button 'Set Tone Type', you see the options it offers.",
        });
    if (button == "btnTransHelp")
        return lines({
            "Try different value, I don't understand this.",
            "If you want to transpose all channel, choose 'Transpose All' in the transpose menu.",
        });
    if (button == "btnSpeedHelp")
        return lines({
            "The speed affect every channel, so you should only set it in the one channel.",
            "The speed has four digits, the two squares under this words.",
            "The total hex code is read from the left to the right.",
        });
    if (button == "btnTripHelp")
        return lines({
            "Will be more detailed.",
            "For instruction done on a line.",
            "",
            "KEYS",
            "",
            "Press 'Enter' to set a triplet. The first triplet command you see on a line",
            "activate a triplet, and the second one close it.",
            "Press 'Delete' to delete a triplet activator/desactivator.",
        });
    if (button == "btnOctPlusHelp")
        return lines({
            "To know more about the octave, see the '?' button over the octave square.",
            "",
            "If you set an octplus, it will raise the current octave by 2.",
            "The next time you set it, it will lower by 2, back to it's previous state.",
            "",
            "An octave command keeps it. A flag switches it on with its bit 08 and off without",
            "it, and so does the flag of a break, where the break lands.",
            "",
            "KEYS",
            "",
            "Press 'Enter' to set an octplus.",
            "Press 'Delete' to delete an octplus.",
        });
    if (button == "btnShwSngHelp")
        return lines({
            "COc stand for current octave : on each line, the octave the driver plays it in,",
            "octave-plus included.",
            "Frames exist no more and shouldn't be considered.",
        });
    if (button == "btnCreateCode")
        return lines({
            "IMPORTANT : Make sure the last time you clicked 'Create Code' you didn't get an "
            "error.",
            "",
            "For safety, your ROM/NSF will be saved only if there is no error.",
        });
    if (button == "btnImpMsgHelp")
        return lines({"When an beep is played, you can see your error here."});
    if (button == "btnHelpBefAf")
        return lines({
            "Only has a use for the 'Add lines' button.",
            "",
            "Add the line before of after the case you are selecting?",
        });
    if (button == "btnShowSongHelp") return showSongHelp();
    if (button == "btnRedChanHelp") return readChannelHelp();
    if (button == "btnImpRem") return importantRemarkHelp();
    return std::nullopt;
}

}  // namespace kestra
