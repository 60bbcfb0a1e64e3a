"use strict";
(function () {
  const clock = document.getElementById("clip_clock");
  const form = document.getElementById("note_form");
  const note = document.getElementById("note");
  const storeButton = document.getElementById("store");
  const status = document.getElementById("status");
  // The same texts the service accepts when it stamps a note, so the clock and the stored times agree.
  const offsetPattern = /^-?[0-9]{1,10}(\.[0-9]{1,9})?$/;
  let storing = false;

  function timeOffset() {
    for (const part of document.cookie.split(";")) {
      const cookie = part.trim();
      const equals = cookie.indexOf("=");
      if (equals > 0 && cookie.slice(0, equals) === "time_offset") {
        const value = cookie.slice(equals + 1).trim();
        return offsetPattern.test(value) ? Number(value) : null;
      }
    }
    return null;
  }

  function twoDigits(number) {
    return String(number).padStart(2, "0");
  }

  function showClock() {
    const offset = timeOffset();
    if (offset === null) {
      clock.textContent = "no clip";
      clock.classList.add("idle");
    } else {
      const moment = new Date(Date.now() - offset * 1000);
      clock.textContent = twoDigits(moment.getHours()) + ":" + twoDigits(moment.getMinutes()) + ":" +
        twoDigits(moment.getSeconds());
      clock.classList.remove("idle");
    }
    // Offsets are whole seconds, so the clip clock ticks with the wall clock: wake just after each second.
    setTimeout(showClock, 1000 - (Date.now() % 1000) + 10);
  }

  function say(text, problem) {
    status.textContent = text;
    status.classList.toggle("problem", problem);
  }

  async function storeNote() {
    const text = note.value;
    if (storing)
      return;
    if (text.trim() === "") {
      say("Type a note first.", true);
      return;
    }
    storing = true;
    storeButton.disabled = true;
    say("Storing…", false);
    try {
      const response = await fetch("/index.php/logger/notes", {
        method: "POST",
        headers: { "Content-Type": "application/x-www-form-urlencoded" },
        body: new URLSearchParams({ text: text }),
        credentials: "same-origin",
      });
      const answer = await response.text();
      if (!response.ok) {
        say(answer || "The note was not stored (" + response.status + ").", true);
        return;
      }
      document.getElementById("notes").outerHTML = answer;
      // Keep whatever was typed while the note was on its way.
      note.value = note.value.startsWith(text) ? note.value.slice(text.length).trimStart() : note.value;
      say("Stored.", false);
    } catch (error) {
      say("The log service cannot be reached; the note is still here. Try again.", true);
    } finally {
      storing = false;
      storeButton.disabled = false;
      note.focus();
    }
  }

  form.addEventListener("submit", function (event) {
    event.preventDefault();
    storeNote();
  });
  note.addEventListener("keydown", function (event) {
    if (event.key === "Enter" && !event.shiftKey && !event.isComposing) {
      event.preventDefault();
      storeNote();
    }
  });
  showClock();
})();
